// The simulated system behind the support-library stand-in, as kept in its state file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace support_stand_in {

struct Printer {
  std::wstring name, driver, port, share, processor, dataType;
  uint32_t attributes = 0;
  uint32_t jobs = 0;
  bool isDefault = false;
};

struct Port {
  std::wstring name, monitor;
};

struct Monitor {
  std::wstring name, file, path, newPort;
  bool language = false;  // installed with a driver, not as a port monitor
  bool locked = false;    // its file is in use and cannot be replaced until a restart
};

struct Driver {
  std::wstring name, file, languageMonitor, hardwareId;
  std::vector<uint32_t> otherOs;  // OS flags of copies installed for other systems
};

struct UsbDriver {
  std::wstring name, file, hardwareIds;
  bool alternate = false;
  // The copy of its information file in the system's Inf folder ("oem3.inf"); the driver package
  // is gone once that copy is.
  std::wstring oemInf;
};

struct Processor {
  std::wstring name, file;
  std::vector<std::wstring> dataTypes;
};

struct Service {
  std::wstring name, program;
  bool running = false;
};

// A forced failure: the status left behind and how many more calls fail (-1: all).
struct Failure {
  int32_t status = 0;
  int32_t remaining = -1;
};

struct State {
  uint32_t osCode = 0x0600;
  bool preconditions = true;
  int32_t preconditionStatus = 5;
  int32_t usbDeviceStatus = 9;
  bool printerConnected = false;  // a USB driver install also plugs the printer in (a present device)
  bool spoolerRunning = true;
  uint32_t restarts = 0;
  std::wstring systemDirectory = L"C:\\windows\\system32";
  std::wstring journal;
  std::vector<std::wstring> shares;  // shares that are not printers
  std::vector<Printer> printers;
  std::vector<Port> ports;
  std::vector<Monitor> monitors;
  std::vector<Driver> drivers;
  std::vector<UsbDriver> usbDrivers;
  std::vector<Processor> processors;
  std::vector<Service> services;
  std::map<uint16_t, Failure> failures;
  std::map<uint16_t, int32_t> statuses;  // status reported after a natural failure
};

// Parses the state file's text; unknown keys and sections are ignored, bad lines reported.
struct ParseResult {
  State state;
  std::vector<std::wstring> problems;
};
ParseResult ParseState(std::wstring_view text);
std::wstring FormatState(const State& state);

// The export name of an ordinal ("" when it is none of ours), and the reverse by name or number.
std::wstring_view ExportName(uint16_t ordinal);
std::optional<uint16_t> OrdinalOf(std::wstring_view nameOrNumber);

bool SameName(std::wstring_view a, std::wstring_view b);

// The item of that name (compared without regard to case), added at the end when there is none.
template <typename T>
T& FindOrAdd(std::vector<T>& list, std::wstring_view name) {
  for (T& item : list) {
    if (SameName(item.name, name)) return item;
  }
  list.push_back(T{});
  list.back().name = std::wstring(name);
  return list.back();
}
// Decimal, or hexadecimal after "0x".
std::optional<long long> ParseNumber(std::wstring_view text);

}  // namespace support_stand_in
