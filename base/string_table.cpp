#include "base/string_table.h"

#include <cstdio>
#include <unordered_map>

namespace {

struct SRate {
    const char* name;
    int supp, maxTsdr, trdy, tqui, tset, tsdi;
};

// The eleven baud rates and the help-text ids of their keyword families.
constexpr SRate kRates[] = {
    {"9.6 kBaud", 12, 21, 65010, 65019, 65028, 65037},   {"19.2 kBaud", 13, 22, 65011, 65020, 65029, 65038},
    {"31.25 kBaud", 52, 70, 65057, 65115, 65117, 65119}, {"45.45 kBaud", 56, 71, 65114, 65116, 65118, 65120},
    {"93.75 kBaud", 14, 23, 65012, 65021, 65030, 65039}, {"187.5 kBaud", 15, 24, 65013, 65022, 65031, 65040},
    {"500 kBaud", 16, 25, 65014, 65023, 65032, 65041},   {"1.5 MBaud", 17, 26, 65015, 65024, 65033, 65042},
    {"3 MBaud", 18, 27, 65016, 65025, 65034, 65043},     {"6 MBaud", 19, 28, 65017, 65026, 65035, 65044},
    {"12 MBaud", 20, 29, 65018, 65027, 65036, 65045},
};

struct SText {
    int id;
    const char* text;
};

constexpr SText kTexts[] = {
    // Key syntax check.
    {130, "Key \"%s\": Value exceeds limit (%s)!"},
    {131, "Key \"%s\": Not within the allowed Values (%s)!"},
    {132, "Key \"%s\": Value out of range (%s)!"},
    {133, "Key \"%s\": Unknown key! Use context menu to specify options for check."},
    {134, "Key \"%s\": %s expected or unexpected format!"},
    {135, "Key \"%s\": Too many values."},
    {136, "Line length exceeds the limit of 80 characters."},
    {137, "Key \"%s\": Unexpected character(s) in file name."},
    {138, "Key \"%s\": Keyword contains unallowed character(s)!"},
    {139, "CHAR: -128..127 (signed 8 Bit)"},
    {140, "SHORT: -32768..32767 (signed 16 Bit)"},
    {141, "INT: -2147483648..2147483647 (signed 32 Bit)"},
    {142, "UCHAR: 0..255 (unsigned 8 Bit)"},
    {143, "USHORT: 0..65535 (unsigned 16 Bit)"},
    {144, "UINT: 0..4194967295 (unsigned 32 Bit)"},
    {145, "Key \"%s\": Unexpected character(s) in string found or missing quotation marks!"},
    {65134, "No or multiple equal sign(s) in key \"%s\"!"},
    {65139, "Key %s: Keys beginning with a '#' can cause problems for following GSD entries!"},
    {65141, "Key \"%s\": The Configuration Data are invalid."},
    // Check command.
    {65132, "Please wait while performing the syntax check..."},
    {65133, "Please wait while performing the semantic check..."},
    {65140, "Database is empty! Please check if the #PROFIBUS_DP entry exists."},
    {65146, "... check finished without errors."},
    {57345, "For Help, press F1"},
    // Semantic presence rules.
    {64202, "Undefined Keyword\"%s\".\"%s\" is mandatory for all GSD files."},
    {64203, "Undefined Baudrate. The Keywords for Baudrate Support are grouped, at least one Keyword must be defined."},
    {64204, "Undefined MaxTsdr. The Keywords for MaxTsdr are grouped, at least one Keyword must be defined."},
    {64206, "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files for a Master Device."},
    {64207,
     "Undefined Trdy. The Keywords for Trdy are grouped, at least one Keyword must be defined for a Master Device."},
    {64208,
     "Undefined Tqui. The Keywords for Tqui are grouped, at least one Keyword must be defined for a Master Device."},
    {64209,
     "Undefined Tset. The Keywords for Tset are grouped, at least one Keyword must be defined for a Master Device."},
    {64210,
     "Undefined Tsdi. The Keywords for Tsdi are grouped, at least one Keyword must be defined for a Master Device."},
    {64211, "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files for a Slave Device."},
    {64212, "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files Revision 1 and higher for a Slave Device."},
    {64213, "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files for a modular Slave Device."},
    {64214,
     "Undefined Keyword \"%s\" inside a Prm-Text-Definition. \"%s\" is mandatory for a Prm-Text-Definition in GSD "
     "files for a Slave Device."},
    {64215,
     "Undefined Keyword \"%s\" inside a Ext-User-Prm-Data-Definition. \"%s\" is mandatory for a "
     "Ext-User-Prm-Data-Definition in GSD files for a Slave Device."},
    {64217,
     "Definition of Block beginning with Keyword \"%s\" not finished. Block \"%s\" must be finished before the end of "
     "GSD file."},
    {64218,
     "Undefined Keyword \"%s\" inside a Unit-Diag-Area-Definition. \"%s\" is mandatory for a Unit-Diag-Area-Definition "
     "in GSD files for a Slave Device."},
    {64301, "Mulitple Definition of Keyword \"%s\" inside the Unit-Definition-List of the GSD file."},
    {64303, "Mulitple Definition of the Data_Type_Name inside a Ext-User-Prm-Data-Definition of the GSD file."},
    {64304, "Mulitple Definition of Keyword \"%s\" inside a Module-Definition of the GSD file."},
    {64431, "Slave_Family \"%d\" exceeds range specified for GSD_Revision \"%d\"."},
    {64433, "GSD_Revision \"%d\" not supported. GSD is checked according to GSD_Revision 2."},
    {64434, "Reference_Number \"%d\" exceeds range specified for GSD_Revision \"%d\"."},
    {64435, "Invalid Ident_Number \"0x%04X\". Please type in the Ident_Number assigned to your device by Orvan."},
    {64501,
     "Keyword \"%s\" is not specfied for GSD files Revision 0. \"%s\" could be supposed as userspecific by tools based "
     "on GSD Revision 0."},
    {64502, "Slavespecific Keyword \"%s\" is defined in a GSD file for a Master Device."},
    {64503, "Masterspecific Keyword \"%s\" is defined in a GSD file for a Slave Device."},
    {64504, "Modular Slave-specific Keyword \"%s\" is defined in a GSD file for a Compact Slave Device."},
    {64505, "Keyword \"%s\" is specfied outside a Prm-Text-Definition. \"%s\" could be supposed as userspecific here."},
    {64506,
     "Keyword \"%s\" is specfied outside a Ext-User-Prm-Data-Definition. \"%s\" could be supposed as userspecific "
     "here."},
    {64507, "Keyword \"%s\" is specified outside a Module-Definition. \"%s\" could be supposed as userspecific here."},
    {64508,
     "Keyword \"%s\" is specfied outside a Unit_Diag_Area-Definition. \"%s\" could be supposed as userspecific here."},
    {64509, "Keyword \"%s\" is specfied inside a Prm-Text-Definition. \"%s\" could be supposed as userspecific here."},
    {64510,
     "Keyword \"%s\" is specfied inside a Ext_User-Prm-Data-Definition. \"%s\" could be supposed as userspecific "
     "here."},
    {64511, "Keyword \"%s\" is specfied inside a Module-Definition. \"%s\" could be supposed as userspecific here."},
    {64512,
     "Keyword \"%s\" is specfied inside a Unit_Diag_Area-Definition. \"%s\" could be supposed as userspecific here."},
    // Semantic value rules.
    {64601, "There is no MaxTsdr specified for the supported Baudrate."},
    {64602, "There is no Trdy specified for the supported Baudrate of a Master Device."},
    {64603, "There is no Tqui specified for the supported Baudrate of a Master Device."},
    {64604, "There is no Tset specified for the supported Baudrate of a Master Device."},
    {64605, "There is no Tsdi specified for the supported Baudrate of a Master Device."},
    {64606, "There is no Baudrate Support specified for the MaxTsdr."},
    {64607, "There is no Baudrate Support specified for the Time Parameter of a Master Device."},
    {64608, "Invalid Definition. The Definition of User_Prm_Data_Len is required to define \"%s\"."},
    {64609,
     "The Length of User_Prm_Data exceeds Range. The Length must be equal to the Definition of User_Prm_Data_Len."},
    {64610, "The Definition of Max_Diag_Data_Len is recommended to define \"%s\"."},
    {64611, "The Position of \"%s\" exceeds Range. The Position must be in the Range defined by Max_Diag_Data_Len."},
    {64612, "Redefinition of an Entry in the Diagnostic Data."},
    {64613, "The Value \"%d\" exceeds Range. The Value must be in the Range of the Unit_Diag_Area."},
    {64614, "Redefinition of an Entry in an Unit_Diag_Area."},
    {64618, "Ambigious Module_Reference \"%d\" for this Module. \"%d\" is already used by an other Module."},
    {64619, "The Definition of Max_User_Prm_Data_Len is recommended to define Ext_Module_Prm_Data_Len."},
    {64620,
     "The Length of Ext_Module_Prm_Data_Len exceeds Range. The Length must be less or equal to Max_User_Prm_Data_Len."},
    {64621, "Redefinition of an Entry in the Channel_Diag."},
    {64622, "The Definition of User_Prm_Data_Len will be invalid by use of the Keyword \"%s\"."},
    {64623, "The Definition of User_Prm_Data will be invalid by use of the Keyword \"%s\"."},
    {64624, "The Definition of Max_User_Prm_Data_Len is recommended to define \"%s\"."},
    {64625,
     "Invalid Length of User-Parameter-Definition. The User-Parameter must be in the Range defined by "
     "Max_User_Prm_Data_Len."},
    {64627, "Possibly multiple Use of Offset \"%d\" in the User-Parameter-Definition."},
    {64628, "Unresolved Reference to ExtUserPrmData. No ExtUserPrmData \"%d\" defined."},
    {64629, "Ambigious ExtUserPrmData \"%d\". \"%d\" is already used by an other ExtUserPrmData."},
    {64630, "No Reference to ExtUserPrmData \"%d\" found."},
    {64639, "Unresolved Reference to PrmText. No PrmText \"%d\" defined."},
    {64640, " Ambigious PrmText \"%d\". \"%d\" is already used by an other PrmText."},
    {64641, "No Reference to PrmText \"%d\" found."},
    {64642, "Redefinition of an Entry in the PrmText."},
    {64643, "The \"%s\" specifies not a DP-Device."},
    {64644, "Invalid Length of Parameter Data of this Module. The Length must be equal to Ext_Module_Prm_Data_Len."},
    {64645,
     "Invalid Length of User-Parameter-Definition. The \"%s\" must be in the Range defined by User_Prm_Data_Len."},
    {64646, "Invalid Definition. The Definition of a User-Parameter-Length is required to define \"%s\"."},
    // Key form labels and captions.
    {37, "DP-Slave"},
    {38, "DP-Master"},
    {39, "The device supports this feature."},
    {40, "Not supported"},
    {41, "RS-485"},
    {42, "TTL"},
    {43, "Input"},
    {44, "Output"},
    {46, "IdentFormat"},
    {47, "I/O-Select"},
    {48, "InputLength"},
    {49, "OutputLength"},
    {50, "Consistence"},
    {51, "Vendor spec."},
    {65087, "Compact Device"},
    {65088, "Modular Device"},
    {65090, "Area or Text-Reference"},
    {65091, "Default Value"},
    {65092, "Min-Max or Allowed Values"},
    {65096, "Data Type:"},
    {65102, "Change settings for value %d..."},
    {65103, "Change value settings..."},
    {65089, "Help:\r\nThis is a user-specific keyword. No predefined data type available."},
    {65001,
     "Orvan Taluna V2.1\r\nEditor and checker for PROFIBUS-DP device description files (GSD files).\r\n"
     "Select a key in the tree to see its help text and to edit its value in this form."},
    // Application texts.
    {57, "Processing GSD file..."},
    {58, "Building Database..."},
    {128, "Taluna"},
    {129, "\nGSD\nGSD\nGSD-Files (*.gsd)\n.GSD\nGSD.Document\nGSD-Document"},
    {65099, "Exception"},
    {65100, "Line-Nr."},
    {65101, "Probable Cause"},
    {65108, "Output Window"},
    {65109, "Info"},
    {65110, "Warning"},
    {65111, "Fatal Error"},
    {65112, "Error"},
    {65113, "Welcome to Orvan Taluna V2.1 (version " TALUNA_VERSION "), the editor and checker for GSD files."},
    {65123, "Error: The current file is write-protected!"},
    {65124, "The selected file \"%s\" has the read-only flag.\nNo editing available until removing the flag!"},
    {65125, "The selected file \"%s\" is marked as a directory.\nEditing is only available for ASCII-files!"},
    {65126,
     "The selected file \"%s\" seems to be available only at several times. That may causes errors while editing!"},
    {65127, "The selected file \"%s\" seems to be a temporary file.\nThat may causes errors while editing!"},
    {65128, "The selected file \"%s\" has the system flag.\nNo editing available until removing the flag!"},
    {65129, "The selected file \"%s\" has the hidden flag.\nNo editing available until removing the flag!"},
    {65135, "Settings..."},
    {65136, "Fail Safe (Test only)"},
    {65137, "Skip semantic check"},
    {65138, "Don't save window positions"},
    {65142, "Program Options"},
    {65143, "Editor Options"},
    {65144, "Show splash screen at startup"},
    {65145, "Use cool menu"},
    {65147, "Don't create backup files *.bak"},
    {65148, "Use syntax highlighting for user-defined keys"},
    {65149, "The internal database informations\nneed an update. Please use REBUILD\nin the EXTRAS menu or press F5."},
    {65150, "Suppress warnings of the GSD checker"},
    // Findings of the revision 5 profile.
    {70100, "Block end \"%s\" without its opener \"%s\"."},
    {70101, "Block \"%s\" is not closed: \"%s\" is missing at the end of the file."},
    {70102, "Block \"%s\" is still open where its enclosing block \"%s\" ends: \"%s\" is missing."},
    {70103, "Keyword \"%s\" belongs inside a \"%s\" block."},
    {70110, "Slot %d: the default module %d is not one of the allowed modules \"%s\"."},
    {70111, "Slot %d: the module reference %d is not defined by a Module of this file."},
    {70112, "Slot %d: the module reference %d of the range \"%s\" is not defined by a Module of this file."},
    {70120, "Keyword \"%s\" was introduced in GSD_Revision %d, but the file declares GSD_Revision %d."},
    {70130, "GSD_Revision \"%d\" not supported. GSD is checked according to GSD_Revision 5."},
    {65093, "Available GSD Templates:"},
    {65094, "Insert Comments"},
    {65095, "Choose a template for the new file..."},
    {65097, "Search the Template Directory..."},
    {65122, "Line: %d, Char: %d"},
    {65130, "Modified"},
    {65131, "Original"},
};

// Help texts of the catalogue; the table adds their "Help:\r\n" prefix.
constexpr SText kHelpTexts[] = {
    {60, "Version ID of the GSD file format\r\nType: Unsigned8"},
    {61, "Name of the device manufacturer.\r\nType: Visible-String (32)"},
    {62, "Product name of the DP device.\r\nType: Visible-String (32)"},
    {63, "Revision of the DP device as text.\r\nType: Visible-String (32)"},
    {64, "Revision number of the DP device (0 to 63).\r\nType: Unsigned8"},
    {65,
     "Identification of the DP device type\r\nThe Ident_Number is assigned to devices by Orvan.\r\nType: Unsigned16"},
    {66, "Protocol ID of the DP device\r\nType: Unsigned8 \r\n0: PROFIBUS DP, \r\n16 to 255: Manufacturer-specific"},
    {67, "DP device type\r\nType: Unsigned8\r\n0: DP Slave,\r\n1: DP Master (Class 1)"},
    {68, "The device supports FMS as well as DP (mixed device).\r\nType: Boolean (1: True)"},
    {69, "Hardware release of the DP device.\r\nType: Visible-String (32)"},
    {11, "Software release of the DP device.\r\nType: Visible-String (32)"},
    {30,
     "This value specifies whether a device supports redundant transmission  engineering.\r\nType: Boolean\r\n0: No, "
     "1: Redundance is supported."},
    {31,
     "Here, the level of the connector signal CNTR-P is specified.\r\nType: Unsigned8\r\n0: Not connected, 1: RS485, "
     "2:TTL"},
    {32,
     "Here, the meaning of the connector signal M24V and P24V is specified.\r\nType: Unsigned8\r\n0: Not connected, "
     "1:Input, 2:Output"},
    {33,
     "Type of the DP implementation in the device, for example the protocol chip or the software used.\r\nType: "
     "Visible-String (32)"},
    {34,
     "Name of the bitmap file that shows the device in normal operation, without extension.\r\nType: Visible-String "
     "(8)"},
    {35,
     "Name of the bitmap file that shows the device while it reports diagnosis, without extension.\r\nType: "
     "Visible-String (8)"},
    {36,
     "Name of the bitmap file that shows the device in the state SF (system fault), without extension.\r\nType: "
     "Visible-String (8)"},
    {45,
     "Definition of a module: the quoted module name followed by its configuration data (the identifier bytes). The "
     "block ends with EndModule.\r\nType: Visible-String (32), Octet-String"},
    {65051, "The DP slave supports the Freeze mode.\r\nType: Boolean (1: True)"},
    {65052, "The DP slave supports the Sync mode.\r\nType: Boolean (1: True)"},
    {65053, "The DP slave supports the service Set_Slave_Add to set its station address.\r\nType: Boolean (1: True)"},
    {65054, "The DP slave detects the baud rate automatically.\r\nType: Boolean (1: True)"},
    {65055, "Length of the user parameter data (User_Prm_Data) in bytes.\r\nType: Unsigned8"},
    {65056, "Default user parameter data that the DP master sends to the DP slave.\r\nType: Octet-String"},
    {65058,
     "This time specifies the minimum interval between two slave list cycles for the DP device.\r\nType: "
     "Unsigned16\r\nTime Base: 100 \xB5s"},
    {65059,
     "Here it is specified whether the DP device is a modular station.\r\nType: Boolean (0: compact device, 1: modular "
     "device)"},
    {65060, "Maximum number of modules of a modular station.\r\nType: Unsigned8"},
    {65061, "Maximum length of the input data of a modular station in bytes.\r\nType: Unsigned8"},
    {65062, "Maximum length of the output data of a modular station in bytes.\r\nType: Unsigned8"},
    {65063, "Maximum length of the input and output data of a modular station together in bytes.\r\nType: Unsigned16"},
    {65064,
     "Text of one bit of the device-related diagnosis: Unit_Diag_Bit(Bit) = \"Diag_Text\".\r\nType: Unsigned16, "
     "Visible-String (32)"},
    {65065,
     "Beginning of a device-related diagnosis area: Unit_Diag_Area = First_Bit-Last_Bit. The Value lines of the area "
     "follow; Unit_Diag_Area_End closes it.\r\nType: Unsigned16"},
    {65067, "End of a Unit_Diag_Area block.\r\nType: none"},
    {65068, "Text of one value of a Unit_Diag_Area: Value(Value) = \"Text\".\r\nType: Unsigned16, Visible-String (32)"},
    {65069, "End of a Module block.\r\nType: none"},
    {65070, "Reference number of a module: a number alone on a line inside the Module block.\r\nType: Unsigned16"},
    {65071, "Length of the parameter data of a module in bytes.\r\nType: Unsigned8"},
    {65072,
     "Text of one error type of the channel-related diagnosis: Channel_Diag(Error_Type) = \"Diag_Text\".\r\nType: "
     "Unsigned8, Visible-String (32)"},
    {65073,
     "The DP slave accepts Data_Exchange telegrams without output data in the CLEAR state of the master (fail-safe "
     "mode).\r\nType: Boolean (1: True)"},
    {65074,
     "Here, the maximum length of the diagnostic information (Diag_Data) is specified.\r\nType: Unsigned8 (6 - 244)"},
    {65075, "Number of the first slot that the configuration tool gives to the modules.\r\nType: Unsigned8"},
    {65076,
     "Here, the DP slave is assigned to a function class.  The family name is structured hierarchically.  In addition "
     "to the main family, subfamilies can be  generated that are respectively added with \"@\". A maximum of three "
     "subfamilies can be defined.\r\nExample: Slave_Family=3@Digital@24V\r\nThe following main families are "
     "specified:\r\n0: General (can't be assigned to the categories below),\r\n1: Drives,\r\n2: Switching "
     "devices,\r\n3: I/O,\r\n4: Valves,\r\n5: Controllers,\r\n6: HMI (MMI),\r\n7: Encoders,\r\n8: NC/RC,\r\n9: "
     "Gateway,\r\n10: PLCs,\r\n11: Ident systems,\r\n12-255:  reserved;\r\nType: Unsigned8"},
    {65077, "Maximum length of the user parameter data in bytes.\r\nType: Unsigned8"},
    {65078,
     "Reference from the user parameter data to an ExtUserPrmData definition: Ext_User_Prm_Data_Ref(Reference_Offset) "
     "= Reference_Number.\r\nType: Unsigned8, Unsigned16"},
    {65079,
     "Constant bytes of the user parameter data: Ext_User_Prm_Data_Const(Const_Offset) = Const_Prm_Data.\r\nType: "
     "Unsigned8, Octet-String"},
    {65080,
     "Beginning of a user parameter definition: ExtUserPrmData = Reference_Number \"Ext_User_Prm_Data_Name\". The "
     "Data_Type_Name line and an optional Prm_Text_Ref follow; EndExtUserPrmData closes it.\r\nType: Unsigned16, "
     "Visible-String (32)"},
    {65081, "End of an ExtUserPrmData block.\r\nType: none"},
    {65082, "Reference from a user parameter definition to the PrmText that names its values.\r\nType: Unsigned16"},
    {65083,
     "Beginning of a text definition: PrmText = Reference_Number. The Text lines follow; EndPrmText closes "
     "it.\r\nType: Unsigned16"},
    {65084, "End of a PrmText block.\r\nType: none"},
    {65085, "Text of one parameter value: Text(Prm_Data_Value) = \"Text\".\r\nType: Unsigned32, Visible-String (32)"},
    {65098,
     "Data type of a user parameter: Data_Type_Name Default_Value Min_Value-Max_Value, or a list of allowed values "
     "separated by commas. Bit(Bit) and BitArea(First_Bit-Last_Bit) name the bits of the parameter in its "
     "byte.\r\nType: Unsigned8, Unsigned16, Unsigned32, Signed8, Signed16, Signed32, Bit, BitArea"},
    {65002, "The DP master (Class 1) supports the Download service.\r\nType: Boolean (1: True)"},
    {65003, "The DP master (Class 1) supports the Upload service.\r\nType: Boolean (1: True)"},
    {65004,
     "The DP master (Class 1) supports the activation of bus parameters by broadcast.\r\nType: Boolean (1: True)"},
    {65005, "The DP master (Class 1) supports the activation of bus parameters.\r\nType: Boolean (1: True)"},
    {65006, "Maximum memory of the DP master (Class 1) for the master parameter set, in bytes.\r\nType: Unsigned32"},
    {65007, "Maximum length of the net data of master-master functions.\r\nType: Unsigned8"},
    {65008, "Maximum length of the net data of master-slave functions.\r\nType: Unsigned8"},
    {65009,
     "This value indicates how long a DP master ((Class 1) needs as a maximum for processing a master-master "
     "function.\r\nType: Unsigned16\r\nTime Base: 10 ms"},
    {65046, "Number of entries in the list of active stations of the DP master.\r\nType: Unsigned8"},
    {65047, "Maximum number of DP slaves that the DP master can handle.\r\nType: Unsigned8"},
    {65048, "Maximum length of the input data per DP slave, in bytes.\r\nType: Unsigned8"},
    {65049, "Maximum length of the output data per DP slave, in bytes.\r\nType: Unsigned8"},
    {65050, "Maximum length of the input and output data per DP slave together, in bytes.\r\nType: Unsigned16"},
};

std::unordered_map<int, std::string> BuildTable() {
    std::unordered_map<int, std::string> table;
    for (const SText& t : kTexts) table[t.id] = t.text;
    for (const SText& t : kHelpTexts)
        table[t.id] = t.id == 65076 ? std::string(t.text) : std::string("Help:\r\n") + t.text;
    for (const SRate& r : kRates) {
        const std::string rate = r.name;
        table[r.supp] = "Help:\r\nThe device supports the baudrate " + rate + "\r\nType: Boolean (1: True)";
        table[r.maxTsdr] = "Help:\r\nThis is the time a responder needs as a maximum at a baudrate of " + rate +
                           " to respond to a request message.\r\nType: Unsigned16\r\nTime Base: Bit Time";
        const char* message = r.trdy == 65010 ? "request message" : r.trdy == 65018 ? "callt message" : "call message";
        table[r.trdy] = "Help:\r\nThis value indicates how fast a DP master (Class 1), at a baudrate of " + rate +
                        ",  is ready to receive again after sending a " + message +
                        ".\r\nType: Unsigned8\r\nTime Base: Bit Time";
        table[r.tqui] = "Help:\r\nThis value specifies the modulator fading time (TQUI) at a baudrate of " + rate +
                        ". \r\nType: Unsigned8\r\nTime Base:  Bit Time";
        table[r.tset] = "Help:\r\nThis value specifies the trigger time , at the baudrate of " + rate +
                        ", in reference to Layer2 (setup time) from the arrival of an event until the "
                        "corresponding response.\r\nType: Unsigned8\r\nTime Base: Bit Time";
        table[r.tsdi] =
            "Help:\r\nThis value specifies the station delay time (Tsdi) of the initiator at a baudrate of " + rate +
            ".\r\nType: Unsigned16\r\nTime Base:  Bit Time";
    }
    return table;
}

const std::unordered_map<int, std::string>& Table() {
    static const std::unordered_map<int, std::string> table = BuildTable();
    return table;
}

}  // namespace

const std::string& LoadString(int id) {
    static const std::string empty;
    const auto& table = Table();
    const auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

std::string FormatText(std::string_view format, std::initializer_list<CFormatArg> args) {
    std::string out;
    out.reserve(format.size() + 32);
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        size_t j = i + 1;
        if (format[j] == '%') {
            out += '%';
            i = j;
            continue;
        }
        while (j < format.size() &&
               (format[j] == '0' || format[j] == '-' || format[j] == '.' || (format[j] >= '1' && format[j] <= '9')))
            ++j;
        if (j >= format.size()) {
            out.append(format.substr(i));
            break;
        }
        const std::string flags(format.substr(i, j - i));
        const char conv = format[j];
        i = j;
        const CFormatArg* arg = next != args.end() ? &*next++ : nullptr;
        if (conv == 's') {
            if (arg) out += arg->m_bText ? arg->m_Text : std::to_string(arg->m_nValue);
            continue;
        }
        const long long number = arg && !arg->m_bText ? arg->m_nValue : 0;
        char buffer[64];
        const std::string fmt = flags + conv;
        switch (conv) {
            case 'd':
            case 'i':
                std::snprintf(buffer, sizeof buffer, (flags + "d").c_str(),
                              static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(number))));
                break;
            case 'u':
            case 'x':
            case 'X':
                std::snprintf(buffer, sizeof buffer, fmt.c_str(),
                              static_cast<unsigned>(static_cast<std::uint32_t>(number)));
                break;
            case 'c':
                buffer[0] = static_cast<char>(number);
                buffer[1] = '\0';
                break;
            default: std::snprintf(buffer, sizeof buffer, "%s", fmt.c_str()); break;
        }
        out += buffer;
    }
    return out;
}

std::string FormatString(int id, std::initializer_list<CFormatArg> args) {
    return FormatText(LoadString(id), args);
}
