// An information file as large as the wizard accepts: `entries` printer drivers, port monitors and
// USB drivers, each driver naming one monitor and each monitor one USB driver, every entry with its
// own entry and settings sections.
#pragma once

#include <string>

namespace setup_wizard::bench {

inline std::string LargeInformation(int entries) {
  std::string ini = "[Information]\r\nVersion=1.20\r\nProducts=ORV TPX800\r\n\r\n[OS]\r\nEntry=2\r\n"
                    "OS1=2000,XP,2003\r\nOS2=VISTA\r\n\r\n[DiskInfo]\r\nEntry=1\r\n1=\"Disk 1\",\r\n\r\n";
  std::string drivers = "[PrinterDriver]\r\nEntry=" + std::to_string(entries) + "\r\nLimitText=220\r\n";
  std::string monitors = "[PortMonitor]\r\nEntry=" + std::to_string(entries) + "\r\nFlag=0\r\n";
  std::string usb = "[WDM]\r\nEntry=" + std::to_string(entries) + "\r\nFlag=0\r\n";
  std::string sections;
  for (int i = 1; i <= entries; ++i) {
    const std::string n = std::to_string(i);
    drivers += "Name" + n + "=\"ORV TPX800 U" + n + "\",Driver" + n + "," + n + "\r\n";
    monitors += "Name" + n + "=\"TPX800 Port Monitor " + n + "\",Monitor" + n + "," + n + "\r\n";
    usb += "Name" + n + "=\"ORV TPX800 USB Printer " + n + "\",Usb" + n + "\r\n";
    sections += "[Driver" + n + "]\r\nOS1=DriverSet" + n + ",1:driver\\x86\r\nOS2=DriverSet" + n + ",1:driver\\x86\r\n" +
                "[DriverSet" + n + "]\r\nDriverFile=TPX8DRV.DLL\r\nDataType=RAW\r\nPProcessorName=TPX800 Print Processor\r\n" +
                "[Monitor" + n + "]\r\nOS1=MonitorSet" + n + ",1:monitor\\x86\r\n" +
                "[MonitorSet" + n + "]\r\nPortMonFile=TPX8PM.DLL\r\n" +
                "[Usb" + n + "]\r\nOS1=UsbSet" + n + ",1:usb\\x86\r\n" +
                "[UsbSet" + n + "]\r\nWDMFile=TPX8USB.SYS\r\nWDMIDs=VID_1A2B&PID_" + n + "\r\n";
  }
  return ini + drivers + "\r\n" + monitors + "\r\n" + usb + "\r\n" + sections;
}

}  // namespace setup_wizard::bench
