#include "setup_wizard/setup_information.h"

#include <algorithm>
#include <array>
#include <exception>

#include "common/win_path.h"

namespace setup_wizard {

namespace {

// Sections and keys, spelled as the file spells them.
constexpr std::wstring_view kInformation = L"Information", kVersion = L"Version", kLicense = L"License",
                            kProducts = L"Products";
constexpr std::wstring_view kOs = L"OS", kDiskInfo = L"DiskInfo", kWdm = L"WDM", kPortMonitor = L"PortMonitor",
                            kPrinterDriver = L"PrinterDriver", kShareOs = L"ShareOS", kShare64Os = L"Share64OS";
constexpr std::wstring_view kEntry = L"Entry", kName = L"Name", kFlag = L"Flag", kLimitText = L"LimitText",
                            kVer = L"VER";
constexpr std::wstring_view kCheckInf = L"CheckInf", kExpandedFile = L"ExpandedFile";
constexpr std::wstring_view kServiceName = L"ServiceName", kOptionUiFile = L"OptionUIFile",
                            kOptionUiDependFiles = L"OptionUIDependFiles";

// The newest file layout this reader understands; compared as text, so "1.100" is older.
constexpr std::wstring_view kNewestVersion = L"1.20";

constexpr std::array<std::wstring_view, 12> kOsKeys = {
    L"", L"95", L"98", L"ME", L"NT", L"2000", L"XP", L"2003", L"XP64", L"200364", L"VISTA", L"VISTA64"};

constexpr size_t kDataTypeChars = 7;

bool Fits(const std::wstring& path) { return path.size() <= common::kMaxPathChars; }

void EndWithBackslash(std::wstring& dir) {
  if (dir.empty() || dir.back() != L'\\') dir.push_back(L'\\');
}

int EntryCount(const ProfileReader& reader, std::wstring_view section) {
  return std::clamp(reader.IntValue(section, kEntry, 0), 0, SetupInformation::kMaxEntries);
}

int ZeroOrOne(int v) { return v != 0 ? 1 : 0; }

}  // namespace

std::wstring JoinFileList(const std::vector<std::wstring>& names) {
  std::wstring out;
  for (const std::wstring& name : names) {
    out += name;
    out.push_back(L'\0');
  }
  out.push_back(L'\0');
  return out;
}

std::wstring_view SetupInformation::OsKey(int highByte) {
  if (highByte < 1 || highByte >= static_cast<int>(kOsKeys.size())) return {};
  return kOsKeys[highByte];
}

SetupInformation::SetupInformation(std::wstring moduleDirectory, std::unique_ptr<SetupFiles> files)
    : moduleDirectory_(std::move(moduleDirectory)), files_(std::move(files)) {}

void SetupInformation::Clear() {
  osCode_ = 0;
  licenseFile_.clear();
  productName_.clear();
  osIndex_ = 0;
  limitText_ = 0;
  portMonitorFlag_ = 0;
  wdmFlag_ = 0;
  disks_.clear();
  usbDrivers_.clear();
  portMonitors_.clear();
  printerDrivers_.clear();
  driver_ = {};
  portMonitor_ = {};
  usbDriver_ = {};
}

std::wstring SetupInformation::ModuleDrive() const {
  const std::wstring& dir = moduleDirectory_;
  if (dir.size() >= 2 && dir[1] == L':') return dir.substr(0, 2);
  if (dir.size() >= 2 && dir[0] == L'\\' && dir[1] == L'\\') {
    // \\server\share is the drive of a network path.
    size_t at = dir.find(L'\\', 2);
    if (at != std::wstring::npos) at = dir.find(L'\\', at + 1);
    return dir.substr(0, at);
  }
  return {};
}

int SetupInformation::Load(int osCode, const std::wstring& fileName) {
  if (osCode < 0x100 || osCode > 0xBFF) return 0;
  try {
    if (!reader_ || fileName != fileName_) {
      const std::wstring path = common::JoinPath(moduleDirectory_, fileName);
      reader_.reset();
      fileName_.clear();
      if (fileName.empty() || moduleDirectory_.empty() || !Fits(path) || !files_) {
        Clear();
        return 0;
      }
      std::unique_ptr<ProfileSource> source = files_->OpenProfile(path);
      if (!source) {
        Clear();
        return 0;
      }
      reader_ = std::make_unique<ProfileReader>(std::move(source));
      fileName_ = fileName;
    }
    Clear();
    const ProfileReader& r = *reader_;

    if (CompareNoCase(r.ValueField(kInformation, kVersion), kNewestVersion) > 0) {
      Clear();
      return 0;
    }
    osCode_ = osCode;
    const std::wstring license = r.ValueField(kInformation, kLicense);
    if (!license.empty()) {
      std::wstring path = common::JoinPath(moduleDirectory_, license);
      if (Fits(path)) licenseFile_ = std::move(path);  // too long: no licence page
    }
    productName_ = r.ValueField(kInformation, kProducts);

    const std::wstring_view osKey = OsKey(osCode >> 8);
    for (int n = 1, count = EntryCount(r, kOs); n <= count; ++n) {
      const std::wstring line = r.Value(kOs, ProfileReader::NumberedKey(kOs, n));
      for (int f = 1, fields = ProfileReader::FieldCount(line); f <= fields; ++f) {
        if (CompareNoCase(ProfileReader::Field(line, f), osKey) == 0) osIndex_ = n;  // the last line wins
      }
    }

    const std::wstring drive = ModuleDrive();
    for (int n = 1, count = EntryCount(r, kDiskInfo); n <= count; ++n) {
      const std::wstring disk = r.Value(kDiskInfo, ProfileReader::NumberedKey(L"", n));
      if (!ProfileReader::FieldFits(disk, 2)) {
        disks_.emplace_back();  // an over-long name must not read as the module directory
        continue;
      }
      const std::wstring sub = ProfileReader::Field(disk, 2);
      std::wstring dir;
      if (!sub.empty() && sub.front() == L'\\') dir = drive + sub;
      else dir = common::JoinPath(moduleDirectory_, sub);
      EndWithBackslash(dir);
      disks_.push_back(Fits(dir) ? dir : std::wstring());  // an over-long directory is refused
    }

    usbDrivers_ = ExistingEntries(kWdm);
    wdmFlag_ = r.IntValue(kWdm, kFlag, 0);

    // Fields 3 onward name entries of the kind below, by number; those missing for this OS drop out.
    auto positions = [&](std::wstring_view kind, int number, auto&& positionOf) {
      std::vector<uint8_t> out;
      const std::wstring v = r.Value(kind, ProfileReader::NumberedKey(kName, number));
      for (int f = 3, fields = ProfileReader::FieldCount(v); f <= fields; ++f) {
        const long long ref = ProfileReader::NumericField(ProfileReader::Field(v, f));
        if (ref < 1 || ref > kMaxEntries) continue;
        const int at = positionOf(static_cast<uint8_t>(ref));
        if (at >= 0) out.push_back(static_cast<uint8_t>(at));
      }
      return out;
    };
    for (uint8_t number : ExistingEntries(kPortMonitor)) {
      portMonitors_.push_back({number, positions(kPortMonitor, number, [&](uint8_t ref) {
                                 auto it = std::find(usbDrivers_.begin(), usbDrivers_.end(), ref);
                                 return it == usbDrivers_.end() ? -1 : static_cast<int>(it - usbDrivers_.begin());
                               })});
    }
    portMonitorFlag_ = r.IntValue(kPortMonitor, kFlag, 0);
    for (uint8_t number : ExistingEntries(kPrinterDriver)) {
      printerDrivers_.push_back({number, positions(kPrinterDriver, number, [&](uint8_t ref) {
                                   for (size_t i = 0; i < portMonitors_.size(); ++i) {
                                     if (portMonitors_[i].number == ref) return static_cast<int>(i);
                                   }
                                   return -1;
                                 })});
    }
    limitText_ = r.IntValue(kPrinterDriver, kLimitText, 0);
    return 1;
  } catch (const std::exception&) {  // out of memory above all
    Clear();
    return 0;
  }
}

// Entries of a kind whose entry section has a line for this OS, by entry number.
std::vector<uint8_t> SetupInformation::ExistingEntries(std::wstring_view kind) const {
  std::vector<uint8_t> out;
  const ProfileReader& r = *reader_;
  const std::wstring osLine = ProfileReader::NumberedKey(kOs, osIndex_);
  for (int n = 1, count = EntryCount(r, kind); n <= count; ++n) {
    const std::wstring section = r.ValueField(kind, ProfileReader::NumberedKey(kName, n), 2);
    if (!r.Value(section, osLine).empty()) out.push_back(static_cast<uint8_t>(n));
  }
  return out;
}

ComponentRecord SetupInformation::Locate(std::wstring_view kind, int number) const {
  ComponentRecord at;
  const ProfileReader& r = *reader_;
  const std::wstring name = r.Value(kind, ProfileReader::NumberedKey(kName, number));
  at.name = ProfileReader::Field(name, 1);
  at.entrySection = ProfileReader::Field(name, 2);
  const std::wstring line = r.Value(at.entrySection, ProfileReader::NumberedKey(kOs, osIndex_));
  at.settingsSection = ProfileReader::Field(line, 1);
  const DependSlot source = ResolveDisk(ProfileReader::Field(line, 2));
  at.sourceDirectory = source.directory;
  at.diskNumber = source.diskNumber;
  return at;
}

const SetupInformation::DriverEntry* SetupInformation::DriverAt(int pos) const {
  if (!reader_ || pos < 0 || pos >= static_cast<int>(printerDrivers_.size())) return nullptr;
  return &printerDrivers_[pos];
}

const SetupInformation::MonitorEntry* SetupInformation::MonitorAt(int driverPos, int i) const {
  const DriverEntry* d = DriverAt(driverPos);
  if (!d || i < 0 || i >= static_cast<int>(d->portMonitors.size())) return nullptr;
  return &portMonitors_[d->portMonitors[i]];
}

int SetupInformation::UsbNumberAt(int driverPos, int i, int j) const {
  const MonitorEntry* m = MonitorAt(driverPos, i);
  if (!m || j < 0 || j >= static_cast<int>(m->usbDrivers.size())) return 0;
  return usbDrivers_[m->usbDrivers[j]];
}

int SetupInformation::DriverCount() const { return static_cast<int>(printerDrivers_.size()); }

std::wstring SetupInformation::DriverName(int pos) const {
  const DriverEntry* d = DriverAt(pos);
  return d ? reader_->ValueField(kPrinterDriver, ProfileReader::NumberedKey(kName, d->number)) : std::wstring();
}

int SetupInformation::PortMonitorCount(int driverPos) const {
  const DriverEntry* d = DriverAt(driverPos);
  return d ? static_cast<int>(d->portMonitors.size()) : 0;
}

std::wstring SetupInformation::PortMonitorName(int driverPos, int i) const {
  const MonitorEntry* m = MonitorAt(driverPos, i);
  return m ? reader_->ValueField(kPortMonitor, ProfileReader::NumberedKey(kName, m->number)) : std::wstring();
}

int SetupInformation::UsbDriverCount(int driverPos, int i) const {
  const MonitorEntry* m = MonitorAt(driverPos, i);
  return m ? static_cast<int>(m->usbDrivers.size()) : 0;
}

std::wstring SetupInformation::UsbDriverName(int driverPos, int i, int j) const {
  const int number = UsbNumberAt(driverPos, i, j);
  return number ? reader_->ValueField(kWdm, ProfileReader::NumberedKey(kName, number)) : std::wstring();
}

DependSlot SetupInformation::ResolveDisk(std::wstring_view ref) const {
  size_t i = 0;
  int n = 0;
  while (i < ref.size() && ref[i] >= L'0' && ref[i] <= L'9') {
    if (n <= kMaxEntries) n = n * 10 + (ref[i] - L'0');
    ++i;
  }
  if (i == 0 || i >= ref.size() || ref[i] != L':') return {};
  if (n < 1 || n > static_cast<int>(disks_.size()) || disks_[n - 1].empty()) return {};
  const std::wstring_view rest = ref.substr(i + 1);
  std::wstring dir = (!rest.empty() && rest.front() == L'\\') ? ModuleDrive() : disks_[n - 1];
  dir += rest;
  EndWithBackslash(dir);
  if (!Fits(dir)) return {};
  return {std::move(dir), n};
}

void SetupInformation::ReadFileList(std::wstring_view ref, std::vector<std::wstring>& names,
                                    DependSlot& slot) const {
  const std::wstring section = ProfileReader::Field(ref, 1);
  names = reader_->KeyNames(section);
  slot = ResolveDisk(ProfileReader::Field(ref, 2));
}

void SetupInformation::ReadOptionUi(std::wstring_view section, OptionUiService& service,
                                    DependSlot& slot) const {
  const ProfileReader& r = *reader_;
  service.section = std::wstring(section);
  service.serviceName = r.ValueField(section, kServiceName);
  service.file = r.ValueField(section, kOptionUiFile);
  // Read second, this list decides the directory the owner's list shares.
  ReadFileList(r.Value(section, kOptionUiDependFiles), service.dependFiles, slot);
}

int SetupInformation::LoadDriver(int pos) {
  driver_ = {};
  const DriverEntry* d = DriverAt(pos);
  if (!d) return 0;
  const ProfileReader& r = *reader_;
  DriverRecord& rec = driver_;
  static_cast<ComponentRecord&>(rec) = Locate(kPrinterDriver, d->number);
  const std::wstring& s = rec.settingsSection;
  rec.infFile = r.ValueField(s, L"InfFile");
  rec.driverFile = r.ValueField(s, L"DriverFile");
  rec.graphicsFile = r.ValueField(s, L"GraphicsFile");
  rec.userInterfaceFile = r.ValueField(s, L"UserInterfaceFile");
  rec.userModeFile = r.ValueField(s, L"UserModeFile");
  rec.helpFile = r.ValueField(s, L"HelpFile");
  rec.dataFile = r.ValueField(s, L"DataFile");
  rec.dataType = r.ValueField(s, L"DataType").substr(0, kDataTypeChars);
  rec.manufacturer = r.ValueField(s, L"Manufacturer");
  rec.oemUrl = r.ValueField(s, L"OEMUrl");
  rec.hardwareId = r.ValueField(s, L"HardwareID");
  rec.provider = r.ValueField(s, L"Provider");
  rec.checkInf = ZeroOrOne(r.IntValue(s, kCheckInf, 1));
  rec.expandedFile = ZeroOrOne(r.IntValue(s, kExpandedFile, 0));
  rec.plugAndPlay = ZeroOrOne(r.IntValue(s, L"PlugAndPlay", 0));
  rec.catalogFile = r.ValueField(s, L"CatalogFile");
  ReadFileList(r.Value(s, L"DependFiles"), rec.dependFiles, rec.depend);
  ReadOptionUi(r.ValueField(s, L"PrinterOptionUI"), rec.printerOptionUi, rec.depend);
  rec.langMonName = r.ValueField(s, L"LangMonName");
  rec.langMonFile = r.ValueField(s, L"LangMonFile");
  ReadFileList(r.Value(s, L"LangMonDependFiles"), rec.langMonDependFiles, rec.langMonDepend);
  ReadOptionUi(r.ValueField(s, L"LangMonOptionUI"), rec.langMonOptionUi, rec.langMonDepend);
  rec.printProcessorName = r.ValueField(s, L"PProcessorName");
  rec.printProcessorFile = r.ValueField(s, L"PProcessorFile");
  ReadFileList(r.Value(s, L"PProcDependFiles"), rec.printProcessorDependFiles, rec.printProcessorDepend);
  return 1;
}

int SetupInformation::LoadPortMonitor(int driverPos, int i) {
  portMonitor_ = {};
  const MonitorEntry* m = MonitorAt(driverPos, i);
  if (!m) return 0;
  const ProfileReader& r = *reader_;
  PortMonitorRecord& rec = portMonitor_;
  static_cast<ComponentRecord&>(rec) = Locate(kPortMonitor, m->number);
  const std::wstring& s = rec.settingsSection;
  rec.infFile = r.ValueField(s, L"PortMonInf");
  rec.monitorFile = r.ValueField(s, L"PortMonFile");
  rec.checkInf = ZeroOrOne(r.IntValue(s, kCheckInf, 1));
  rec.expandedFile = ZeroOrOne(r.IntValue(s, kExpandedFile, 0));
  ReadFileList(r.Value(s, L"PortMonDependFiles"), rec.dependFiles, rec.depend);
  ReadOptionUi(r.ValueField(s, L"PortMonOptionUI"), rec.optionUi, rec.depend);
  return 1;
}

int SetupInformation::LoadUsbDriver(int driverPos, int i, int j) {
  usbDriver_ = {};
  const int number = UsbNumberAt(driverPos, i, j);
  if (!number) return 0;
  const ProfileReader& r = *reader_;
  UsbDriverRecord& rec = usbDriver_;
  static_cast<ComponentRecord&>(rec) = Locate(kWdm, number);
  const std::wstring& s = rec.settingsSection;
  rec.infFile = r.ValueField(s, L"WDMInf");
  rec.driverFile = r.ValueField(s, L"WDMFile");
  rec.hardwareIds = r.ValueField(s, L"WDMIDs");
  rec.checkInf = ZeroOrOne(r.IntValue(s, kCheckInf, 1));
  rec.expandedFile = ZeroOrOne(r.IntValue(s, kExpandedFile, 0));
  rec.allClasses = ZeroOrOne(r.IntValue(s, L"AllClasses", 0));
  ReadFileList(r.Value(s, L"WDMDependFiles"), rec.dependFiles, rec.depend);
  return 1;
}

std::wstring SetupInformation::PrinterOptionServiceName(int pos) const {
  const DriverEntry* d = DriverAt(pos);
  if (!d) return {};
  const std::wstring settings = Locate(kPrinterDriver, d->number).settingsSection;
  return reader_->ValueField(reader_->ValueField(settings, L"PrinterOptionUI"), kServiceName);
}

std::wstring SetupInformation::LanguageMonitorOptionServiceName(int pos) const {
  const DriverEntry* d = DriverAt(pos);
  if (!d) return {};
  const std::wstring settings = Locate(kPrinterDriver, d->number).settingsSection;
  return reader_->ValueField(reader_->ValueField(settings, L"LangMonOptionUI"), kServiceName);
}

std::wstring SetupInformation::PortMonitorOptionSection(int driverPos, int i) const {
  const MonitorEntry* m = MonitorAt(driverPos, i);
  if (!m) return {};
  return reader_->ValueField(Locate(kPortMonitor, m->number).settingsSection, L"PortMonOptionUI");
}

int SetupInformation::OtherOsCode(int shareNo, int driverPos, int is64) const {
  const DriverEntry* d = DriverAt(driverPos);
  if (!d || shareNo < 0) return 0;
  const ProfileReader& r = *reader_;
  const std::wstring ver = ProfileReader::NumberedKey(kVer, shareNo);
  const std::wstring entrySection = r.ValueField(kPrinterDriver, ProfileReader::NumberedKey(kName, d->number), 2);
  if (r.Value(entrySection, r.ValueField(kShareOs, ver)).empty()) return 0;

  const std::wstring osLineKey = r.ValueField(is64 == 1 ? kShare64Os : kShareOs, ver);
  if (osLineKey.empty()) return 0;
  const std::wstring line = r.Value(kOs, osLineKey);
  for (int f = 1, fields = ProfileReader::FieldCount(line); f <= fields; ++f) {
    const std::wstring key = ProfileReader::Field(line, f);
    if (key == kOsKeys[1]) return 1;
    for (int code = 2; code < static_cast<int>(kOsKeys.size()); ++code) {
      if (key == kOsKeys[code]) return code;  // exact: case matters here
    }
  }
  return 1;
}

int SetupInformation::LicenseFileExists() const {
  return !licenseFile_.empty() && files_ && files_->CanRead(licenseFile_) ? 1 : 0;
}

int SetupInformation::ReadLicenseText(const std::function<void(const std::wstring&)>& setText) const {
  if (licenseFile_.empty() || !files_) return 0;
  const std::optional<std::wstring> text = files_->ReadAnsiText(licenseFile_);
  if (!text) return 0;
  if (setText) setText(*text);
  return 1;
}

}  // namespace setup_wizard
