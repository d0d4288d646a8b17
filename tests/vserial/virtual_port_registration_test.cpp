#include "vserial/virtual_port_registration.h"

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "platform/scripted_prompter.h"
#include "platform/settings_store_memory.h"
#include "platform/system_error.h"
#include "port_directory_fixture.h"

namespace orv {
namespace {

// Records the calls and answers as told.
class FakeRegistry : public ServiceRegistry {
 public:
  std::uint32_t registerAnswer = 0x50;
  int registerError = 0;
  bool deregisterAnswer = true;
  int deregisterError = 0;
  bool present = false;
  std::vector<std::string> calls;

  std::uint32_t RegisterService(std::string_view prefix, int index, std::string_view library,
                                std::uint32_t context, int& error) override {
    calls.push_back("Register " + std::string(prefix) + " " + std::to_string(index) + " " +
                    std::string(library) + " " + std::to_string(context));
    error = registerError;
    return registerAnswer;
  }
  bool DeregisterService(std::uint32_t handle, int& error) override {
    calls.push_back("Deregister " + std::to_string(handle));
    error = deregisterError;
    return deregisterAnswer;
  }
  bool PortPresent(int index) override {
    calls.push_back("Present " + std::to_string(index));
    return present;
  }
};

struct Stored {
  std::optional<std::int32_t> port;     // "VSerialPort"; nothing: missing
  std::optional<std::uint32_t> handle;  // "ServiceHandle"; nothing: missing
};

struct StartupCase {
  const char* legend;
  Stored before;
  bool present;
  std::uint32_t registerAnswer;
  std::vector<std::string> calls;
  std::int32_t result;
  std::optional<std::uint32_t> handleAfter;
};

void Store(SettingsModel& settings, const Stored& stored) {
  if (stored.port) settings.WriteInt(SettingId::kVSerialPort, *stored.port);
  if (stored.handle) settings.WriteDword(SettingId::kServiceHandle, *stored.handle);
}

TEST(VirtualPortRegistration, StartupRegistersRemovesOrLeavesAlone) {
  const StartupCase cases[] = {
      {"clean start: none configured, nothing to do", {}, false, 0x50, {}, -1, std::nullopt},
      {"none with a stale handle removes it",
       {-1, 0x1234},
       false,
       0x50,
       {"Deregister 4660"},
       -1,
       0},
      {"none with handle 0 does nothing", {-1, 0}, false, 0x50, {}, -1, 0},
      {"configured and absent registers",
       {5, std::nullopt},
       false,
       0x95,
       {"Present 5", "Register COM 5 orvserial 0"},
       5,
       0x95},
      {"configured and present from an earlier run registers nothing",
       {5, 0x95},
       true,
       0x77,
       {"Present 5"},
       5,
       0x95},
      {"a failed registration stores nothing and shows nothing",
       {3, std::nullopt},
       false,
       0,
       {"Present 3", "Register COM 3 orvserial 0"},
       3,
       std::nullopt},
  };
  for (const StartupCase& c : cases) {
    SCOPED_TRACE(c.legend);
    MemorySettingsStore store;
    SettingsModel settings(store);
    Store(settings, c.before);
    FakeRegistry registry;
    registry.present = c.present;
    registry.registerAnswer = c.registerAnswer;
    registry.registerError = c.registerAnswer == 0 ? EBUSY : 0;
    ScriptedPrompter prompter;
    VirtualPortRegistration registration(settings, registry, prompter);

    EXPECT_EQ(registration.ApplyAtStartup(), c.result);
    EXPECT_EQ(registry.calls, c.calls);
    EXPECT_EQ(settings.StoredDword(SettingId::kServiceHandle), c.handleAfter);
    EXPECT_TRUE(prompter.Asked().empty());
  }
}

struct ChangeCase {
  const char* legend;
  Stored before;
  std::int32_t chosen;
  bool deregisterOk;
  std::uint32_t registerAnswer;
  std::vector<std::string> calls;
  std::vector<std::string> shown;  // "caption|text"
  std::optional<std::uint32_t> handleAfter;
};

TEST(VirtualPortRegistration, ChangeReplacesTheRegistrationAndReportsEachFailure) {
  const std::string unreadable =
      "Orvelle Recorder 7 Beta|The service handle for orvserial.dll could not be read from "
      "registry";
  const ChangeCase cases[] = {
      {"COM5 to COM7",
       {5, 0x95},
       7,
       true,
       0x97,
       {"Deregister 149", "Register COM 7 orvserial 0"},
       {},
       0x97},
      {"COM5 to none removes it and stores 0",
       {5, 0x95},
       -1,
       true,
       0x50,
       {"Deregister 149"},
       {},
       0},
      {"none with handle 0 to COM2 only registers",
       {-1, 0},
       2,
       true,
       0x92,
       {"Register COM 2 orvserial 0"},
       {},
       0x92},
      {"an unreadable handle is reported and the new port still registered",
       {-1, std::nullopt},
       5,
       true,
       0x95,
       {"Register COM 5 orvserial 0"},
       {unreadable},
       0x95},
      {"a failed deregistration is reported and the handle still cleared",
       {5, 0x95},
       6,
       false,
       0x96,
       {"Deregister 149", "Register COM 6 orvserial 0"},
       {"Irreparable Error|" + SystemErrorText("DeregisterService", ESRCH, std::nullopt)},
       0x96},
      {"a failed registration is reported and leaves the handle",
       {-1, 0},
       4,
       true,
       0,
       {"Register COM 4 orvserial 0"},
       {"Irreparable Error|" + SystemErrorText("RegisterService", EEXIST, std::nullopt)},
       0},
  };
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.legend);
    MemorySettingsStore store;
    SettingsModel settings(store);
    Store(settings, c.before);
    FakeRegistry registry;
    registry.deregisterAnswer = c.deregisterOk;
    registry.deregisterError = c.deregisterOk ? 0 : ESRCH;
    registry.registerAnswer = c.registerAnswer;
    registry.registerError = c.registerAnswer == 0 ? EEXIST : 0;
    ScriptedPrompter prompter;
    VirtualPortRegistration registration(settings, registry, prompter);

    registration.Change(c.chosen);
    EXPECT_EQ(registry.calls, c.calls);
    std::vector<std::string> shown;
    for (const Prompt& p : prompter.Asked()) shown.push_back(p.caption + "|" + p.text);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(settings.StoredDword(SettingId::kServiceHandle), c.handleAfter);
    EXPECT_EQ(settings.Int(SettingId::kVSerialPort), c.chosen);
  }
}

TEST(VirtualPortRegistration, UnreadableHandleIsAnInformation) {
  MemorySettingsStore store;
  SettingsModel settings(store);
  FakeRegistry registry;
  ScriptedPrompter prompter;
  VirtualPortRegistration(settings, registry, prompter).Change(1);
  ASSERT_EQ(prompter.Asked().size(), 1u);
  EXPECT_EQ(prompter.Asked()[0].icon, PromptIcon::kInformation);
  EXPECT_EQ(prompter.Asked()[0].buttons, PromptButtons::kOk);
}

// The whole life of a registration with the real host: configure, restart
// twice, choose none.
using RegistrationWithHost = testing::PortDirectory;

TEST_F(RegistrationWithHost, SurvivesRestartsAndIsRemovedByChoosingNone) {
  MemorySettingsStore store;
  SettingsModel settings(store);
  ScriptedPrompter prompter;
  settings.WriteInt(SettingId::kVSerialPort, 5);

  VirtualPortRegistration(settings, *registry_, prompter).ApplyAtStartup();
  const std::optional<std::uint32_t> handle = settings.StoredDword(SettingId::kServiceHandle);
  ASSERT_TRUE(handle);
  EXPECT_NE(*handle, 0u);
  const VirtualPortStatus first = registry_->Status(5);
  ASSERT_TRUE(first.hostRunning);
  EXPECT_EQ(first.handle, *handle);

  // A new run of the program finds the port and leaves it as it is.
  VirtualPortRegistration(settings, *registry_, prompter).ApplyAtStartup();
  EXPECT_EQ(settings.StoredDword(SettingId::kServiceHandle), handle);
  EXPECT_EQ(registry_->Status(5).host.pid, first.host.pid);

  VirtualPortRegistration(settings, *registry_, prompter).Change(-1);
  EXPECT_EQ(settings.StoredDword(SettingId::kServiceHandle), 0u);
  EXPECT_EQ(settings.Int(SettingId::kVSerialPort), -1);
  EXPECT_FALSE(registry_->Status(5).hostRunning);
  EXPECT_FALSE(registry_->PortPresent(5));
  EXPECT_TRUE(prompter.Asked().empty());
}

TEST_F(RegistrationWithHost, StartupWithNoneRemovesARegistrationLeftBehind) {
  MemorySettingsStore store;
  SettingsModel settings(store);
  ScriptedPrompter prompter;
  settings.WriteInt(SettingId::kVSerialPort, -1);
  settings.WriteDword(SettingId::kServiceHandle, Register(8));
  ASSERT_TRUE(registry_->PortPresent(8));

  VirtualPortRegistration(settings, *registry_, prompter).ApplyAtStartup();
  EXPECT_EQ(settings.StoredDword(SettingId::kServiceHandle), 0u);
  EXPECT_FALSE(registry_->PortPresent(8));
}

}  // namespace
}  // namespace orv
