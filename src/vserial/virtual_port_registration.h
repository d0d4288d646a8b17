#pragma once

#include <cstdint>

#include "app/settings_model.h"
#include "platform/prompter.h"
#include "vserial/service_registry.h"

namespace orv {

inline constexpr const char* kServiceHandleUnreadableText =
    "The service handle for orvserial.dll could not be read from registry";
inline constexpr std::string_view kRegisterServiceOperation = "RegisterService";
inline constexpr std::string_view kDeregisterServiceOperation = "DeregisterService";

// The program's side of the virtual serial port registration: which port
// number is configured ("VSerialPort", -1 for none), and keeping the
// registration and its stored handle ("ServiceHandle") in step with it. The
// registration outlives the program; only choosing none removes it.
class VirtualPortRegistration {
 public:
  VirtualPortRegistration(SettingsModel& settings, ServiceRegistry& services, Prompter& prompter)
      : settings_(settings), services_(services), prompter_(prompter) {}

  // At start-up: with none configured, removes a registration left from an
  // earlier configuration; with a number, registers it unless the port is
  // already there. Shows nothing. Returns the configured number.
  std::int32_t ApplyAtStartup();

  // The user chose `number` (-1 for none) in place of the configured one:
  // removes the old registration, registers the new one, stores the number.
  // Failures are shown and do not stop the later steps.
  void Change(std::int32_t number);

 private:
  SettingsModel& settings_;
  ServiceRegistry& services_;
  Prompter& prompter_;
};

}  // namespace orv
