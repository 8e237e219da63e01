// The parsed setup information file (KVSetup.ini) for one Windows version: which printer
// drivers, port monitors and USB drivers exist for it, where their files lie on the
// distribution media, and one current record per component kind, refilled on demand.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup_wizard/profile_reader.h"

namespace setup_wizard {

// Port: what the information object needs from the file system besides profile values.
class SetupFiles {
 public:
  virtual ~SetupFiles() = default;
  // The profile file at `path` (a missing file reads as empty).
  virtual std::unique_ptr<ProfileSource> OpenProfile(const std::wstring& path) = 0;
  // True when the file opens for reading.
  virtual bool CanRead(const std::wstring& path) = 0;
  // The whole file converted from the ANSI code page; nothing when it cannot be read.
  virtual std::optional<std::wstring> ReadAnsiText(const std::wstring& path) = 0;
};

// Names separated by NUL characters and ended by an empty name, the form the support library
// takes file lists in ("a.dll\0b.dll\0\0"; an empty list is "\0").
std::wstring JoinFileList(const std::vector<std::wstring>& names);

// Source directory and disk number of dependent files. Two file lists of a component share
// one slot: the option UI's list, read second, decides it.
struct DependSlot {
  std::wstring directory;  // ends with a backslash, or empty
  int diskNumber = 0;
};

// An option UI service named through a ...OptionUI key.
struct OptionUiService {
  std::wstring section;                   // the section the ...OptionUI key names
  std::wstring serviceName;               // ServiceName
  std::wstring file;                      // OptionUIFile
  std::vector<std::wstring> dependFiles;  // OptionUIDependFiles (directory: the owner's slot)
};

// What every component record starts with: its name and where its settings and files are.
struct ComponentRecord {
  std::wstring name;             // field 1 of NameN in the component's list section
  std::wstring entrySection;     // field 2 of NameN
  std::wstring settingsSection;  // field 1 of the entry's OS key
  std::wstring sourceDirectory;  // from the disk reference, field 2 of the entry's OS key
  int diskNumber = 0;
};

struct DriverRecord : ComponentRecord {  // [PrinterDriver]
  std::wstring infFile, driverFile, graphicsFile;                   // InfFile DriverFile GraphicsFile
  std::wstring userInterfaceFile, userModeFile, helpFile, dataFile;  // UserInterfaceFile ...
  std::wstring dataType;  // DataType, at most 7 characters
  std::wstring manufacturer, oemUrl, hardwareId, provider;  // Manufacturer OEMUrl HardwareID Provider
  int checkInf = 1;      // CheckInf, 0/1
  int expandedFile = 0;  // ExpandedFile, 0/1
  int plugAndPlay = 0;   // PlugAndPlay, 0/1
  std::wstring catalogFile;               // CatalogFile
  std::vector<std::wstring> dependFiles;  // DependFiles
  DependSlot depend;                      // shared with printerOptionUi.dependFiles
  OptionUiService printerOptionUi;        // section named by PrinterOptionUI
  std::wstring langMonName, langMonFile;  // LangMonName LangMonFile
  std::vector<std::wstring> langMonDependFiles;  // LangMonDependFiles
  DependSlot langMonDepend;                      // shared with langMonOptionUi.dependFiles
  OptionUiService langMonOptionUi;               // section named by LangMonOptionUI
  std::wstring printProcessorName, printProcessorFile;  // PProcessorName PProcessorFile
  std::vector<std::wstring> printProcessorDependFiles;  // PProcDependFiles
  DependSlot printProcessorDepend;
};

struct PortMonitorRecord : ComponentRecord {  // [PortMonitor]
  std::wstring infFile;      // PortMonInf
  std::wstring monitorFile;  // PortMonFile
  int checkInf = 1, expandedFile = 0;
  std::vector<std::wstring> dependFiles;  // PortMonDependFiles
  DependSlot depend;                      // shared with optionUi.dependFiles
  OptionUiService optionUi;               // section named by PortMonOptionUI
};

struct UsbDriverRecord : ComponentRecord {  // [WDM]
  std::wstring infFile;      // WDMInf
  std::wstring driverFile;   // WDMFile
  std::wstring hardwareIds;  // WDMIDs
  int checkInf = 1, expandedFile = 0, allClasses = 0;
  std::vector<std::wstring> dependFiles;  // WDMDependFiles
  DependSlot depend;
};

class SetupInformation {
 public:
  // Entry numbers and positions are bytes in the file's design; later entries are ignored.
  static constexpr int kMaxEntries = 255;

  // `moduleDirectory`: the wizard module's directory without a trailing backslash ("D:\Driver").
  SetupInformation(std::wstring moduleDirectory, std::unique_ptr<SetupFiles> files);
  SetupInformation(const SetupInformation&) = delete;
  SetupInformation& operator=(const SetupInformation&) = delete;

  // Reads the file for the Windows version `osCode` (high byte 1..11). 1 on success; 0 at once
  // for a code out of range; otherwise 0 leaves the object empty.
  int Load(int osCode, const std::wstring& fileName);

  // Selection lists; a negative or out-of-range argument yields 0 or an empty name.
  int DriverCount() const;
  std::wstring DriverName(int pos) const;
  int PortMonitorCount(int driverPos) const;
  std::wstring PortMonitorName(int driverPos, int i) const;
  int UsbDriverCount(int driverPos, int i) const;
  std::wstring UsbDriverName(int driverPos, int i, int j) const;

  // Refill the current record; 1 when the position exists, else 0 and an empty record.
  int LoadDriver(int pos);
  int LoadPortMonitor(int driverPos, int i);
  int LoadUsbDriver(int driverPos, int i, int j);
  const DriverRecord& Driver() const { return driver_; }
  const PortMonitorRecord& PortMonitor() const { return portMonitor_; }
  const UsbDriverRecord& UsbDriver() const { return usbDriver_; }

  // Single lookups that leave the current records alone.
  std::wstring PrinterOptionServiceName(int pos) const;
  std::wstring LanguageMonitorOptionServiceName(int pos) const;
  std::wstring PortMonitorOptionSection(int driverPos, int i) const;

  // OS code number (1..11) of share entry `shareNo` of the driver at `driverPos`, or 0 when the
  // driver has no such entry; `is64` 1 takes the OS line from [Share64OS].
  int OtherOsCode(int shareNo, int driverPos, int is64) const;

  int LicenseFileExists() const;
  // Hands the licence text, converted from the ANSI code page, to `setText`; 0 when unreadable.
  int ReadLicenseText(const std::function<void(const std::wstring&)>& setText) const;

  // State of the last load.
  int OsCode() const { return osCode_; }
  const std::wstring& LicenseFile() const { return licenseFile_; }
  const std::wstring& ProductName() const { return productName_; }
  int OsIndex() const { return osIndex_; }
  int LimitText() const { return limitText_; }
  int PortMonitorFlag() const { return portMonitorFlag_; }
  int WdmFlag() const { return wdmFlag_; }
  const std::vector<std::wstring>& Disks() const { return disks_; }  // empty entry: refused path
  const std::wstring& ModuleDirectory() const { return moduleDirectory_; }

  // The OS key of a code's high byte ("XP" for 6), empty outside 1..11.
  static std::wstring_view OsKey(int highByte);

 private:
  struct MonitorEntry {
    uint8_t number = 0;               // entry number in [PortMonitor]
    std::vector<uint8_t> usbDrivers;  // positions in usbDrivers_
  };
  struct DriverEntry {
    uint8_t number = 0;                 // entry number in [PrinterDriver]
    std::vector<uint8_t> portMonitors;  // positions in portMonitors_
  };

  void Clear();
  std::vector<uint8_t> ExistingEntries(std::wstring_view kind) const;
  // Name, sections and source directory of entry `number` of a kind for this OS.
  ComponentRecord Locate(std::wstring_view kind, int number) const;
  const DriverEntry* DriverAt(int pos) const;
  const MonitorEntry* MonitorAt(int driverPos, int i) const;
  int UsbNumberAt(int driverPos, int i, int j) const;
  // Disk reference "n:path" -> directory ending in a backslash, or empty with disk 0.
  DependSlot ResolveDisk(std::wstring_view ref) const;
  // File list reference "section,n:path": names into `names`, directory into `slot`.
  void ReadFileList(std::wstring_view ref, std::vector<std::wstring>& names, DependSlot& slot) const;
  void ReadOptionUi(std::wstring_view section, OptionUiService& service, DependSlot& slot) const;
  std::wstring ModuleDrive() const;

  std::wstring moduleDirectory_;
  std::unique_ptr<SetupFiles> files_;
  std::unique_ptr<ProfileReader> reader_;
  std::wstring fileName_;

  int osCode_ = 0;
  std::wstring licenseFile_;
  std::wstring productName_;
  int osIndex_ = 0;
  int limitText_ = 0;
  int portMonitorFlag_ = 0;
  int wdmFlag_ = 0;
  std::vector<std::wstring> disks_;
  std::vector<uint8_t> usbDrivers_;  // [WDM] entry numbers existing for this OS
  std::vector<MonitorEntry> portMonitors_;
  std::vector<DriverEntry> printerDrivers_;

  DriverRecord driver_;
  PortMonitorRecord portMonitor_;
  UsbDriverRecord usbDriver_;
};

}  // namespace setup_wizard
