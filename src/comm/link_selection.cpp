#include "comm/link_selection.h"

#include "comm/port_names.h"

namespace orv {

RestartAction DecideRestart(bool changed, bool running) {
  if (!running) return RestartAction::kStart;
  return changed ? RestartAction::kRestart : RestartAction::kNone;
}

DirectionChoice& LinkSelection::ChoiceOf(LinkDirection direction) {
  return direction == LinkDirection::kSource ? source_ : destination_;
}

const DirectionChoice& LinkSelection::Choice(LinkDirection direction) const {
  return direction == LinkDirection::kSource ? source_ : destination_;
}

void LinkSelection::LoadAtStartup() {
  for (const LinkDirection direction : {LinkDirection::kDestination, LinkDirection::kSource}) {
    const std::optional<LinkDevice> device = settings_.Device(direction);
    if (!device) continue;
    DirectionChoice& choice = ChoiceOf(direction);
    if (device->kind == LinkDevice::Kind::kBluetooth) {
      choice.bluetooth = device->bluetooth;
    } else {
      choice.serialPort = StoredPortName(device->serialPort);
    }
  }
  const BuiltInGpsSettings gps = settings_.BuiltInGps();
  gpsEnabled_ = gps.enabled;
  useBuiltInGps_ = gps.enabled && gps.use;
  if (useBuiltInGps_) {
    source_.serialPort = StoredPortName(gps.driverInterface);
    source_.bluetooth.reset();
  }
}

bool LinkSelection::ChooseSerialPort(LinkDirection direction, std::string_view port) {
  DirectionChoice& choice = ChoiceOf(direction);
  const DirectionChoice before = choice;
  choice.serialPort = StoredPortName(port);
  choice.bluetooth.reset();
  settings_.WriteDevice(direction,
                        LinkDevice{LinkDevice::Kind::kSerialPort, std::string(port), {}});
  if (direction == LinkDirection::kSource) {
    useBuiltInGps_ = false;
    settings_.WriteDword(SettingId::kUseGPSIntermediateDriver, 0);
  }
  return choice != before;
}

bool LinkSelection::ChooseBluetooth(LinkDirection direction, const BluetoothDeviceEntry& device) {
  DirectionChoice& choice = ChoiceOf(direction);
  const DirectionChoice before = choice;
  choice.bluetooth = device;
  choice.serialPort.clear();
  settings_.WriteDevice(direction, LinkDevice{LinkDevice::Kind::kBluetooth, {}, device});
  if (direction == LinkDirection::kSource) {
    useBuiltInGps_ = false;
    settings_.WriteDword(SettingId::kUseGPSIntermediateDriver, 0);
  }
  return choice != before;
}

bool LinkSelection::ToggleBuiltInGps() {
  const DirectionChoice before = source_;
  bool clearBluetooth = true;
  if (!useBuiltInGps_) {
    useBuiltInGps_ = true;
    if (const std::optional<std::string> port =
            settings_.StoredText(SettingId::kGpsDriverInterface)) {
      source_.serialPort = StoredPortName(*port);
      settings_.WriteDevice(LinkDirection::kSource,
                            LinkDevice{LinkDevice::Kind::kSerialPort, *port, {}});
    } else {
      clearBluetooth = false;
    }
  } else {
    useBuiltInGps_ = false;
    source_.serialPort.clear();
    settings_.ClearDevice(LinkDirection::kSource);
  }
  if (clearBluetooth) source_.bluetooth.reset();
  settings_.WriteDword(SettingId::kUseGPSIntermediateDriver, useBuiltInGps_ ? 1 : 0);
  return source_ != before;
}

std::optional<std::string> LinkSelection::RecordCommandText(std::string_view caption) const {
  std::string text(caption);
  text += ' ';
  if (useBuiltInGps_) return text += kBuiltInGpsMenuName;
  if (!source_.serialPort.empty()) return text += source_.serialPort;
  if (source_.bluetooth) return text += source_.bluetooth->name;
  return std::nullopt;
}

}  // namespace orv
