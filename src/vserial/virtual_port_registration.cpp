#include "vserial/virtual_port_registration.h"

#include <optional>

#include "app/track.h"
#include "platform/system_error.h"
#include "vserial/virtual_port_paths.h"

namespace orv {
namespace {

std::uint32_t Register(ServiceRegistry& services, std::int32_t number, int& error) {
  error = 0;
  return services.RegisterService(kVirtualPortPrefix, number, kVirtualPortLibrary, 0, error);
}

}  // namespace

std::int32_t VirtualPortRegistration::ApplyAtStartup() {
  const std::int32_t number = settings_.Int(SettingId::kVSerialPort);
  if (number == -1) {
    const std::optional<std::uint32_t> handle = settings_.StoredDword(SettingId::kServiceHandle);
    if (handle && *handle != 0) {
      int ignored = 0;
      services_.DeregisterService(*handle, ignored);
      settings_.WriteDword(SettingId::kServiceHandle, 0);
    }
    return number;
  }
  // Loaded by an earlier run: it stays as it is.
  if (services_.PortPresent(number)) return number;
  int error = 0;
  if (const std::uint32_t handle = Register(services_, number, error); handle != 0) {
    settings_.WriteDword(SettingId::kServiceHandle, handle);
  }
  return number;
}

void VirtualPortRegistration::Change(std::int32_t number) {
  const std::optional<std::uint32_t> handle = settings_.StoredDword(SettingId::kServiceHandle);
  if (!handle) {
    prompter_.Ask({kServiceHandleUnreadableText, std::string(kProgramTitle),
                   PromptIcon::kInformation, PromptButtons::kOk, 0});
  } else if (*handle != 0) {
    int error = 0;
    if (!services_.DeregisterService(*handle, error)) {
      ReportSystemError(prompter_, kDeregisterServiceOperation, std::nullopt, error);
    }
    settings_.WriteDword(SettingId::kServiceHandle, 0);
  }
  if (number != -1) {
    int error = 0;
    const std::uint32_t newHandle = Register(services_, number, error);
    if (newHandle == 0) {
      ReportSystemError(prompter_, kRegisterServiceOperation, std::nullopt, error);
    } else {
      settings_.WriteDword(SettingId::kServiceHandle, newHandle);
    }
  }
  settings_.WriteInt(SettingId::kVSerialPort, number);
}

}  // namespace orv
