// Information-file texts shared by the native tests and the Windows comparison with the API.
#pragma once

#include <string>
#include <vector>

namespace setup_wizard::samples {

// Parser corners: blanks, quotes, comments, repeated sections and keys, odd line ends.
inline const wchar_t* const kProfileEdges =
    L"top=before any section\r\n"
    L"[ Spaced ]\r\n"
    L"  key one  =  value one  \r\n"
    L"Quoted=\"in quotes\"\r\n"
    L"Single='single'\r\n"
    L"Half=\"half\r\n"
    L"Mixed=\"mixed'\r\n"
    L"Lone=\"\r\n"
    L"Inner=a \"b\" c\r\n"
    L"Empty=\r\n"
    L"NoEquals\r\n"
    L";comment=hidden\r\n"
    L"Dup=first\r\n"
    L"dup=second\r\n"
    L"Int1= 42\r\n"
    L"Int2=-7\r\n"
    L"Int3=0x1F\r\n"
    L"Int4=12abc\r\n"
    L"Int5=\"  5\"\r\n"
    L"Int6=\r\n"
    L"Int7=123456789012345678901234567890123\r\n"
    L"=nameless\r\n"
    L"after=nameless\r\n"
    L"[spaced]\r\n"
    L"Late=second section of the name\r\n"
    L"[Broken\r\n"
    L"Key=still in [spaced]\r\n"
    L"[CR]\rOnlyCr=yes\rNext=also\r\n\n\r"
    L"[Tabbed]\t\r\n"
    L"\tTab\t=\tx\t\r\n";

struct Probe {
  const wchar_t* section;
  const wchar_t* key;
};

inline const std::vector<Probe> kEdgeProbes = {
    {L"", L"top"},         {L"Spaced", L"key one"}, {L" spaced ", L" KEY ONE "}, {L"Spaced", L"Quoted"},
    {L"Spaced", L"Single"}, {L"Spaced", L"Half"},    {L"Spaced", L"Mixed"},       {L"Spaced", L"Lone"},
    {L"Spaced", L"Inner"},  {L"Spaced", L"Empty"},   {L"Spaced", L"NoEquals"},    {L"Spaced", L";comment"},
    {L"Spaced", L"Dup"},    {L"Spaced", L"Int1"},    {L"Spaced", L"Int2"},        {L"Spaced", L"Int3"},
    {L"Spaced", L"Int4"},   {L"Spaced", L"Int5"},    {L"Spaced", L"Int6"},        {L"Spaced", L"Int7"},
    {L"Spaced", L"Late"},   {L"Spaced", L"after"},   {L"Spaced", L"Missing"},     {L"spaced", L"Key"},
    {L"spaced", L"[Broken"}, {L"CR", L"OnlyCr"},     {L"CR", L"Next"},            {L"Tabbed", L"Tab"},
    {L"Nowhere", L"Key"},
};

inline const std::vector<const wchar_t*> kEdgeSections = {L"Spaced", L" Spaced ", L"spaced", L"CR",
                                                          L"Tabbed", L"Nowhere"};

// An information file with entries missing for some systems, every kind of disk reference, shared
// dependent-file slots and share entries. The wizard module lies in D:\Setup.
inline const wchar_t* const kModuleDirectory = L"D:\\Setup";
inline const wchar_t* const kSampleInformation =
    LR"([Information]
Version = 1.20
Products =  "ORV TPX800"
License=License.txt

[OS]
Entry=5
OS1=2000, XP
OS2= "xp"
OS3=XP64,200364
OS4=VISTA
OS5=VISTA64
OS6=Win7,95,XP
OS7=vista64,Mystery

[ShareOS]
VER0=OS1
VER1=OS9
VER2=OS4
VER3=OS3
VER4=

[Share64OS]
VER0=OS6
VER2=OS4
VER3=OS7

[DiskInfo]
Entry=3
1=Disk one,Drivers
2=Disk two
3=Disk three,\Shared\Files

[WDM]
Entry=3
Flag=1
Name1="USB Printer A",UsbA
Name2="USB Printer B",UsbB
Name3="USB Printer C",UsbC

[UsbA]
OS2=UsbSet,1:usb
OS3=UsbSet,1:usb64
[UsbB]
OS3=UsbSet,1:usb64
[UsbC]
OS2=UsbSet,2:\Abs\Usb

[UsbSet]
WDMInf=tpusb.inf
WDMFile=tpusb.sys
WDMIDs=VID_1A2B&PID_0800
AllClasses=1
WDMDependFiles=UsbFiles,3:
[UsbFiles]
tpusbco.dll=
; comment=not a file
tpusb.cat=
NotAFile

[PortMonitor]
Entry=2
Flag=3
Name1="TPX800 Port Monitor",MonA,1,2,3
Name2="Old Monitor",MonB,2
[MonA]
OS2=MonSet,1:mon
OS3=MonSet,1:mon64
[MonB]
OS3=MonSet,1:mon64
[MonSet]
PortMonInf=tpmon.inf
PortMonFile=tpmon.dll
CheckInf=0
ExpandedFile=7
PortMonDependFiles=MonFiles,1:mon
PortMonOptionUI=Port Service
[Port Service]
ServiceName=Port Service
OptionUIFile=tpsvc.exe
OptionUIDependFiles=SvcFiles,9:bad
[MonFiles]
tpmonui.dll=
[SvcFiles]
tpsvcres.dll=

[PrinterDriver]
Entry=3
LimitText=31
Name1=  "ORV TPX800 U1" ,DrvA,2,1,257
Name2='ORV TPX800 U2',DrvB,1
Name3=ORV TPX800 U3,DrvC,1
[DrvA]
OS1=DrvSet,1:x86
OS2=DrvSet,1:x86
OS3=DrvSet,1:x64
OS4=DrvSet,1:x86
[DrvB]
OS3=DrvSet,1:x64
[DrvC]
OS2=DrvSet2,4:x86

[DrvSet]
InfFile=tpx800.inf
DriverFile=tpx8drv.dll
GraphicsFile=tpx8grp.dll
UserInterfaceFile=tpx8ui.dll
DataFile=tpx800.dat
DataType=NT EMF 1.008
HardwareID=USBPRINT\ORVTPX800
CheckInf=5
DependFiles=DrvFiles,1:x86
PrinterOptionUI=DrvOption
LangMonName=TPX800 Language Monitor
LangMonFile=tplm.dll
LangMonDependFiles=LmFiles,1:x86
LangMonOptionUI=LmOption
PProcessorName=TPX800 Print Processor
PProcessorFile=tppp.dll
PProcDependFiles=PpFiles,3:pp
[DrvOption]
ServiceName=Option Service
OptionUIFile=tpopt.exe
OptionUIDependFiles=OptFiles,2:opt
[LmOption]
ServiceName=Monitor Service
OptionUIFile=tplms.exe
[DrvFiles]
tpres.dll=
tpx800.icm=
[OptFiles]
tpoptres.dll=
[LmFiles]
tplmres.dll=
[PpFiles]
tpppres.dll=
[DrvSet2]
InfFile=other.inf
DependFiles=DrvFiles,1:x86
)";

}  // namespace setup_wizard::samples
