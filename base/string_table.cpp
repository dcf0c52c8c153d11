#include "base/string_table.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <unordered_map>

#include "base/message_catalogue.h"
#include "base/text_util.h"

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
    // Data type names of the key syntax check. The texts of the check's findings
    // are rows of the message catalogue.
    {139, "CHAR: -128..127 (signed 8 Bit)"},
    {140, "SHORT: -32768..32767 (signed 16 Bit)"},
    {141, "INT: -2147483648..2147483647 (signed 32 Bit)"},
    {142, "UCHAR: 0..255 (unsigned 8 Bit)"},
    {143, "USHORT: 0..65535 (unsigned 16 Bit)"},
    {144, "UINT: 0..4194967295 (unsigned 32 Bit)"},
    // Check command.
    {65132, "Please wait while performing the syntax check..."},
    {65133, "Please wait while performing the semantic check..."},
    {65146, "... check finished without errors."},
    {57345, "For Help, press F1"},
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
    for (const SMessageInfo& m : Messages()) table[m.m_nId] = m.m_pszText;
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
    FormatTextInto(out, format, args);
    return out;
}

void FormatTextInto(std::string& out, std::string_view format, std::initializer_list<CFormatArg> args) {
    out.clear();
    out.reserve(format.size() + 32);
    auto next = args.begin();
    size_t i = 0;
    while (i < format.size()) {
        // The plain text up to the next conversion, in one piece.
        const size_t percent = std::min(format.find('%', i), format.size());
        out.append(format, i, percent - i);
        i = percent;
        if (i >= format.size()) break;
        if (i + 1 >= format.size()) {
            out += '%';
            break;
        }
        size_t j = i + 1;
        if (format[j] == '%') {
            out += '%';
            i = j + 1;
            continue;
        }
        while (j < format.size() &&
               (format[j] == '0' || format[j] == '-' || format[j] == '.' || (format[j] >= '1' && format[j] <= '9')))
            ++j;
        if (j >= format.size()) {
            out.append(format.substr(i));
            break;
        }
        // The conversion with its flags, width and precision, as printf reads it
        // (short enough to stay in the string's own buffer).
        const char conv = format[j];
        std::string conversion(format.substr(i, j - i + 1));
        i = j + 1;
        const CFormatArg* arg = next != args.end() ? &*next++ : nullptr;
        if (conv == 's') {
            if (arg == nullptr) continue;
            if (arg->m_bText)
                out += arg->m_Text;
            else
                out += std::to_string(arg->m_nValue);
            continue;
        }
        const long long number = arg && !arg->m_bText ? arg->m_nValue : 0;
        char buffer[64];
        // A bare conversion (most are) needs no printf.
        if (conversion.size() == 2 && (conv == 'd' || conv == 'i' || conv == 'u' || conv == 'x' || conv == 'X')) {
            const auto bits = static_cast<std::uint32_t>(number);
            const std::to_chars_result made =
                conv == 'd' || conv == 'i'
                    ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int32_t>(bits))
                    : std::to_chars(buffer, buffer + sizeof buffer, bits, conv == 'u' ? 10 : 16);
            if (conv == 'X')
                for (char* c = buffer; c < made.ptr; ++c) *c = UpperByte(*c);
            out.append(buffer, made.ptr);
            continue;
        }
        switch (conv) {
            case 'd':
            case 'i':
                conversion.back() = 'd';
                std::snprintf(buffer, sizeof buffer, conversion.c_str(),
                              static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(number))));
                break;
            case 'u':
            case 'x':
            case 'X':
                std::snprintf(buffer, sizeof buffer, conversion.c_str(),
                              static_cast<unsigned>(static_cast<std::uint32_t>(number)));
                break;
            case 'c':
                buffer[0] = static_cast<char>(number);
                buffer[1] = '\0';
                break;
            default: std::snprintf(buffer, sizeof buffer, "%s", conversion.c_str()); break;
        }
        out += buffer;
    }
}

std::string FormatString(int id, std::initializer_list<CFormatArg> args) {
    return FormatText(LoadString(id), args);
}

void FormatStringInto(std::string& out, int id, std::initializer_list<CFormatArg> args) {
    FormatTextInto(out, LoadString(id), args);
}
