#pragma once

#include <string>
#include <string_view>

#include "platform/prompter.h"

namespace orv {

// The Bluetooth link's texts, each with its %1/%2 insertions.
inline constexpr std::string_view kBtDevicesLookupBeginFailedText =
    "WSALookupServiceBegin failed at the search of bluetooth devices\n\nError:%1";
inline constexpr std::string_view kBtNetworkDownText = "The bluetooth network is down.";
inline constexpr std::string_view kBtUnknownDeviceName = "Unknown";
inline constexpr std::string_view kBtServicesLookupBeginFailedText =
    "WSALookupServiceBegin failed at %2 during the search of services\n\nError:%1";
inline constexpr std::string_view kBtServicesLookupNextFailedText =
    "WSALookupServiceNext failed at %2 during the search of services\n\nError:%1";
inline constexpr std::string_view kBtNoSerialPortServiceText =
    "An appropriate service (COM port) at %1 was not found.n\nPlease, try with an another BT "
    "Device";
inline constexpr std::string_view kBtNoSerialPortServiceCaption = "Error";
inline constexpr std::string_view kBtSocketFailedText = "socket failed %1 at %2";
inline constexpr std::string_view kBtConnectFailedText = "connect failed %1 at %2";
inline constexpr std::string_view kBtEventSelectFailedText =
    "WSAEventSelect failed at %2\n\nError:%1";
inline constexpr std::string_view kBtReceiveFailedText = "recvfrom failed at %2\n\nError:%1";
inline constexpr std::string_view kBtSendFailedText = "send failed at %2\n\nError:%1";
inline constexpr std::string_view kBtReceiveThreadFailedText =
    "AfxBeginThread failed for RecvFromRouteRepresentationSocketProc()";
inline constexpr std::string_view kBtSendThreadFailedText =
    "AfxBeginThread failed for SendToRouteRepresentationSocketProc()";
inline constexpr std::string_view kBtSearchThreadFailedText =
    "AfxBeginThread failed for BDevicesSearchProc()";
inline constexpr std::string_view kBtSearchRunningText = "Search for BT Devices is running...";
inline constexpr std::string_view kBtNoDevicesFoundText = "BT Devices could Not be found";

// An error number as the messages show it: "(97)".
std::string BluetoothErrorNumber(int errorCode);

// `text` with "%1" and "%2" replaced.
std::string BluetoothMessage(std::string_view text, std::string_view first,
                             std::string_view second = {});

// The message of a failed Bluetooth call: the text with the error number as
// %1 and `where` as %2. When the cause is that this machine has no Bluetooth
// at all, a sentence saying so follows, since the bare number says little.
std::string BluetoothFailureMessage(std::string_view text, int errorCode, std::string_view where);

// The sentence added for a missing Bluetooth stack or adapter; empty for any
// other error.
std::string NoBluetoothExplanation(int errorCode);

// Shows a failure with the caption "Irreparable Error" and the stop icon.
void ShowBluetoothError(Prompter& prompter, std::string text);

}  // namespace orv
