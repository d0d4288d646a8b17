#pragma once

#include <locale.h>

namespace orv::test {

// Holds a decimal-comma locale for this thread while in scope, when the machine has one
// installed, so a test can show that number text does not follow the user's locale.
class DecimalCommaLocale {
 public:
  DecimalCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
      locale_ = newlocale(LC_ALL_MASK, name, nullptr);
      if (locale_ != nullptr) break;
    }
    if (locale_ != nullptr) previous_ = uselocale(locale_);
  }
  ~DecimalCommaLocale() {
    if (locale_ == nullptr) return;
    uselocale(previous_);
    freelocale(locale_);
  }
  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

  bool Active() const { return locale_ != nullptr; }

 private:
  locale_t locale_ = nullptr;
  locale_t previous_ = nullptr;
};

}  // namespace orv::test
