#include "base/message_catalogue.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "base/check_message.h"

namespace {

// Ordered by id; FindMessage searches it by halves.
constexpr SMessageInfo kMessages[] = {
    {130, CheckMessageKind::Error, "Key \"%s\": Value exceeds limit (%s)!", "Value exceeds the limit",
     "The value has the right form, but lies outside the limits that the keyword allows. The text in brackets names "
     "the data type and the allowed values; for a string it names the greatest length.",
     EExampleFile::CompactSlave, "Station_Type = 2", "Station_Type = 0"},
    {131, CheckMessageKind::Error, "Key \"%s\": Not within the allowed Values (%s)!",
     "Value not among the allowed values",
     "The keyword allows only the values listed in brackets, such as 0 and 1 for a keyword that switches a feature off "
     "or on.",
     EExampleFile::CompactSlave, "FMS_supp = 2", "FMS_supp = 0"},
    {132, CheckMessageKind::Error, "Key \"%s\": Value out of range (%s)!", "Value out of range",
     "A part of the value lies outside the range named in brackets: an item of a byte list (user parameter data, the "
     "identifier bytes of a module) that is not a number from 0x00 to 0xff, a bit number above 7, the minimum, default "
     "and maximum of a parameter's data type out of order or beyond the type, or a bit area whose first and last bit "
     "are out of order or too far apart.",
     EExampleFile::CompactSlave, "User_Prm_Data_Len = 2\nUser_Prm_Data = 0x01,0x100",
     "User_Prm_Data_Len = 2\nUser_Prm_Data = 0x01,0x10"},
    {133, CheckMessageKind::Warning, "Key \"%s\": Unknown key! Use context menu to specify options for check.",
     "Unknown key",
     "Taluna does not know the keyword. A manufacturer may add keywords of its own; register such a keyword as a "
     "user-defined key (context menu of the output window or Extras, Settings) so that its value is checked too, or "
     "correct the spelling of a keyword that is meant.",
     EExampleFile::CompactSlave, "Order_Number = \"4711\"", "; Order_Number = \"4711\""},
    {134, CheckMessageKind::Error, "Key \"%s\": %s expected or unexpected format!", "Value of unexpected format",
     "The value cannot be read as what the keyword expects (named before \"expected\"): a number in decimal or 0x "
     "hexadecimal notation that fits the keyword's data type, or a list of the right form.",
     EExampleFile::CompactSlave, "GSD_Revision = 1a", "GSD_Revision = 1"},
    {135, CheckMessageKind::Error, "Key \"%s\": Too many values.", "Too many values",
     "The key holds more values than its keyword allows: a keyword that stands alone, such as EndModule, has a value, "
     "or Slave_Family names more than three subfamilies after its main family, each added with \"@\".",
     EExampleFile::CompactSlave, "Slave_Family = 3@Digital@24V@Out@Fast", "Slave_Family = 3@Digital@24V@Out"},
    {136, CheckMessageKind::Warning, "Line length exceeds the limit of 80 characters.", "Line too long",
     "A line of a GSD file may hold at most 80 characters, comments included. Longer lines are hard to read for tools "
     "that follow the limit; continue a long value on the next line with a backslash, or shorten the comment.",
     EExampleFile::CompactSlave,
     "Model_Name = \"Base\" ; this comment makes the line longer than eighty characters in all",
     "Model_Name = \"Base\" ; a short comment"},
    {137, CheckMessageKind::Error, "Key \"%s\": Unexpected character(s) in file name.",
     "Unexpected characters in a file name",
     "The Bitmap keywords name a bitmap file without its extension and without a path: at most eight letters, digits "
     "or underscores.",
     EExampleFile::CompactSlave, "Bitmap_Device = \"dev.bmp\"", "Bitmap_Device = \"dev\""},
    {138, CheckMessageKind::Error, "Key \"%s\": Keyword contains unallowed character(s)!",
     "Unallowed character in a keyword",
     "A keyword consists of letters, digits, underscores, points, hyphens and a leading \"#\". The message is given "
     "once for each other character in the keyword, up to a limit.",
     EExampleFile::CompactSlave, "Vendor$Name = \"Velmar\"", "Vendor_Name = \"Velmar\""},
    {145, CheckMessageKind::Error, "Key \"%s\": Unexpected character(s) in string found or missing quotation marks!",
     "Unexpected characters in a string or missing quotation marks",
     "A string value stands in double quotation marks and holds printable characters only. The value is not quoted, a "
     "quotation mark is missing, or the string holds a character such as a tab or a semicolon.",
     EExampleFile::CompactSlave, "Vendor_Name = Velmar", "Vendor_Name = \"Velmar\""},
    {64202, CheckMessageKind::Error, "Undefined Keyword\"%s\".\"%s\" is mandatory for all GSD files.",
     "Mandatory keyword missing",
     "The keyword is mandatory for every GSD file, whatever the station type. The message is given at the last entry "
     "of the file.",
     EExampleFile::CompactSlave, "; no Vendor_Name line", "Vendor_Name = \"Velmar\""},
    {64203, CheckMessageKind::Error,
     "Undefined Baudrate. The Keywords for Baudrate Support are grouped, at least one Keyword must be defined.",
     "No baud rate supported",
     "A GSD file names the baud rates the device supports with the keywords 9.6_supp to 12M_supp. At least one of them "
     "must be present.",
     EExampleFile::CompactSlave, "; no baud rate line", "9.6_supp = 1"},
    {64204, CheckMessageKind::Error,
     "Undefined MaxTsdr. The Keywords for MaxTsdr are grouped, at least one Keyword must be defined.",
     "No MaxTsdr keyword",
     "The keywords MaxTsdr_9.6 to MaxTsdr_12M give the longest response time at each baud rate. At least one of them "
     "must be present.",
     EExampleFile::CompactSlave, "; no MaxTsdr line", "MaxTsdr_9.6 = 60"},
    {64206, CheckMessageKind::Error, "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files for a Master Device.",
     "Mandatory master keyword missing",
     "A file for a DP master (Station_Type = 1) must define the keyword named in the message.", EExampleFile::Master,
     "; no Max_Slaves_supp line", "Max_Slaves_supp = 125"},
    {64207, CheckMessageKind::Error,
     "Undefined Trdy. The Keywords for Trdy are grouped, at least one Keyword must be defined for a Master Device.",
     "No Trdy keyword in a master file",
     "A file for a DP master must give its ready time Trdy for at least one baud rate, with the keywords Trdy_9.6 to "
     "Trdy_12M.",
     EExampleFile::Master, "; no Trdy line", "Trdy_9.6 = 11"},
    {64208, CheckMessageKind::Error,
     "Undefined Tqui. The Keywords for Tqui are grouped, at least one Keyword must be defined for a Master Device.",
     "No Tqui keyword in a master file",
     "A file for a DP master must give its quiet time Tqui for at least one baud rate, with the keywords Tqui_9.6 to "
     "Tqui_12M.",
     EExampleFile::Master, "; no Tqui line", "Tqui_9.6 = 0"},
    {64209, CheckMessageKind::Error,
     "Undefined Tset. The Keywords for Tset are grouped, at least one Keyword must be defined for a Master Device.",
     "No Tset keyword in a master file",
     "A file for a DP master must give its setup time Tset for at least one baud rate, with the keywords Tset_9.6 to "
     "Tset_12M.",
     EExampleFile::Master, "; no Tset line", "Tset_9.6 = 1"},
    {64210, CheckMessageKind::Error,
     "Undefined Tsdi. The Keywords for Tsdi are grouped, at least one Keyword must be defined for a Master Device.",
     "No Tsdi keyword in a master file",
     "A file for a DP master must give its station delay time Tsdi for at least one baud rate, with the keywords "
     "Tsdi_9.6 to Tsdi_12M.",
     EExampleFile::Master, "; no Tsdi line", "Tsdi_9.6 = 70"},
    {64211, CheckMessageKind::Error, "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files for a Slave Device.",
     "Mandatory slave keyword missing",
     "A file for a DP slave (Station_Type = 0) must define the keyword named in the message, such as "
     "Min_Slave_Intervall, or at least one Module.",
     EExampleFile::CompactSlave, "; no Min_Slave_Intervall line", "Min_Slave_Intervall = 1"},
    {64212, CheckMessageKind::Error,
     "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files Revision 1 and higher for a Slave Device.",
     "Mandatory slave keyword of revision 1 missing",
     "From GSD_Revision 1 on, a file for a DP slave must also define Max_Diag_Data_Len and Slave_Family.",
     EExampleFile::CompactSlave, "; no Max_Diag_Data_Len line", "Max_Diag_Data_Len = 16"},
    {64213, CheckMessageKind::Error,
     "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files for a modular Slave Device.",
     "Mandatory keyword of a modular slave missing",
     "A modular slave (Modular_Station = 1) must give the limits of its modules: Max_Module, Max_Input_Len, "
     "Max_Output_Len and Max_Data_Len.",
     EExampleFile::CompactSlave, "Modular_Station = 1",
     "Modular_Station = 1\nMax_Module = 2\nMax_Input_Len = 8\nMax_Output_Len = 8\nMax_Data_Len = 16"},
    {64214, CheckMessageKind::Error,
     "Undefined Keyword \"%s\" inside a Prm-Text-Definition. \"%s\" is mandatory for a Prm-Text-Definition in GSD "
     "files for a Slave Device.",
     "PrmText without Text",
     "A PrmText block names the values of a user parameter and must hold at least one Text line.",
     EExampleFile::CompactSlave, "PrmText = 1\nEndPrmText", "PrmText = 1\nText(0) = \"Off\"\nEndPrmText"},
    {64215, CheckMessageKind::Error,
     "Undefined Keyword \"%s\" inside a Ext-User-Prm-Data-Definition. \"%s\" is mandatory for a "
     "Ext-User-Prm-Data-Definition in GSD files for a Slave Device.",
     "ExtUserPrmData without data type",
     "An ExtUserPrmData block defines one user parameter and must hold its data type line, such as Unsigned8 0 0-1 or "
     "Bit(0) 0 0-1.",
     EExampleFile::CompactSlave, "ExtUserPrmData = 1 \"Mode\"\nEndExtUserPrmData",
     "ExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 0-1\nEndExtUserPrmData"},
    {64217, CheckMessageKind::Error,
     "Definition of Block beginning with Keyword \"%s\" not finished. Block \"%s\" must be finished before the end of "
     "GSD file.",
     "Block not finished",
     "A block (Module, PrmText, ExtUserPrmData or Unit_Diag_Area) is still open at the end of the file: its closing "
     "keyword (EndModule, EndPrmText, EndExtUserPrmData or Unit_Diag_Area_End) is missing.",
     EExampleFile::CompactSlave, "PrmText = 1\nText(0) = \"Off\"", "PrmText = 1\nText(0) = \"Off\"\nEndPrmText"},
    {64218, CheckMessageKind::Error,
     "Undefined Keyword \"%s\" inside a Unit-Diag-Area-Definition. \"%s\" is mandatory for a Unit-Diag-Area-Definition "
     "in GSD files for a Slave Device.",
     "Unit_Diag_Area without Value",
     "A Unit_Diag_Area block names the values of a diagnosis area and must hold at least one Value line.",
     EExampleFile::CompactSlave, "Unit_Diag_Area = 16-23\nUnit_Diag_Area_End",
     "Unit_Diag_Area = 16-23\nValue(0) = \"Ready\"\nUnit_Diag_Area_End"},
    {64301, CheckMessageKind::Error,
     "Mulitple Definition of Keyword \"%s\" inside the Unit-Definition-List of the GSD file.", "Keyword defined twice",
     "A keyword of the file's general part may be defined once only. Every further definition is reported; for most "
     "keywords only the first one counts.",
     EExampleFile::CompactSlave, "Model_Name = \"Base\"\nModel_Name = \"Other\"", "Model_Name = \"Base\""},
    {64303, CheckMessageKind::Error,
     "Mulitple Definition of the Data_Type_Name inside a Ext-User-Prm-Data-Definition of the GSD file.",
     "Second data type or Prm_Text_Ref in an ExtUserPrmData",
     "An ExtUserPrmData block holds exactly one data type line and at most one Prm_Text_Ref.",
     EExampleFile::CompactSlave, "ExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 0-1\nUnsigned16 0 0-1\nEndExtUserPrmData",
     "ExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 0-1\nEndExtUserPrmData"},
    {64304, CheckMessageKind::Error,
     "Mulitple Definition of Keyword \"%s\" inside a Module-Definition of the GSD file.",
     "Keyword defined twice in a Module",
     "A Module may hold its reference number and its Ext_Module_Prm_Data_Len once only.", EExampleFile::CompactSlave,
     "Module = \"In\" 0x10\n1\n2\nEndModule", "Module = \"In\" 0x10\n1\nEndModule"},
    {64431, CheckMessageKind::Error, "Slave_Family \"%d\" exceeds range specified for GSD_Revision \"%d\".",
     "Slave_Family beyond the file's revision",
     "The main families a Slave_Family may name grew with the GSD revisions: up to 11 before GSD_Revision 2, up to 12 "
     "from revision 2 on.",
     EExampleFile::CompactSlave, "Slave_Family = 12", "Slave_Family = 11"},
    {64433, CheckMessageKind::Warning, "GSD_Revision \"%d\" not supported. GSD is checked according to GSD_Revision 2.",
     "GSD_Revision not supported",
     "The written rules know GSD revisions 0 to 2. A file that declares a higher revision is checked according to "
     "revision 2. The revision 5 rules (Extras, Settings; taluna-check --profile rev5) also know the keywords of "
     "revisions 3 to 5.",
     EExampleFile::CompactSlave, "GSD_Revision = 3", "GSD_Revision = 2"},
    {64434, CheckMessageKind::Error, "Reference_Number \"%d\" exceeds range specified for GSD_Revision \"%d\".",
     "Reference number beyond the file's revision",
     "Before GSD_Revision 2 the reference numbers of ExtUserPrmData and PrmText blocks and of their references range "
     "from 0 to 255; from revision 2 on up to 65535.",
     EExampleFile::CompactSlave, "ExtUserPrmData = 256 \"Mode\"\nUnsigned8 0 0-1\nEndExtUserPrmData",
     "ExtUserPrmData = 255 \"Mode\"\nUnsigned8 0 0-1\nEndExtUserPrmData"},
    {64435, CheckMessageKind::Error,
     "Invalid Ident_Number \"0x%04X\". Please type in the Ident_Number assigned to your device by Orvan.",
     "Invalid Ident_Number",
     "The Ident_Number 0 is not assigned to any device. Every device has an Ident_Number of its own, assigned to its "
     "manufacturer.",
     EExampleFile::CompactSlave, "Ident_Number = 0", "Ident_Number = 0x1234"},
    {64501, CheckMessageKind::Warning,
     "Keyword \"%s\" is not specfied for GSD files Revision 0. \"%s\" could be supposed as userspecific by tools based "
     "on GSD Revision 0.",
     "Keyword unknown to GSD revision 0",
     "A file without GSD_Revision, or with GSD_Revision 0, uses a keyword that revision 0 does not know. Tools that "
     "follow revision 0 may treat it as a manufacturer's own keyword. Declare the revision that introduced the "
     "keyword.",
     EExampleFile::CompactSlave, "; no GSD_Revision line: the file is of revision 0\nSlave_Family = 3",
     "GSD_Revision = 1\nSlave_Family = 3"},
    {64502, CheckMessageKind::Warning, "Slavespecific Keyword \"%s\" is defined in a GSD file for a Master Device.",
     "Slave keyword in a master file",
     "The keyword describes a DP slave, but the file describes a DP master (Station_Type = 1).", EExampleFile::Master,
     "Min_Slave_Intervall = 1", "; Min_Slave_Intervall = 1"},
    {64503, CheckMessageKind::Warning, "Masterspecific Keyword \"%s\" is defined in a GSD file for a Slave Device.",
     "Master keyword in a slave file",
     "The keyword describes a DP master, but the file describes a DP slave (Station_Type = 0).",
     EExampleFile::CompactSlave, "Download_supp = 1", "; Download_supp = 1"},
    {64504, CheckMessageKind::Warning,
     "Modular Slave-specific Keyword \"%s\" is defined in a GSD file for a Compact Slave Device.",
     "Modular slave keyword in a compact slave file",
     "The keyword describes a modular slave, but the file does not declare Modular_Station = 1.",
     EExampleFile::CompactSlave, "Max_Module = 2",
     "Modular_Station = 1\nMax_Module = 2\nMax_Input_Len = 8\nMax_Output_Len = 8\nMax_Data_Len = 16"},
    {64505, CheckMessageKind::Warning,
     "Keyword \"%s\" is specfied outside a Prm-Text-Definition. \"%s\" could be supposed as userspecific here.",
     "Keyword outside a PrmText",
     "Text lines and EndPrmText belong inside a PrmText block. Elsewhere the keyword could be taken for a "
     "manufacturer's own keyword.",
     EExampleFile::CompactSlave, "Text(0) = \"Off\"", "PrmText = 1\nText(0) = \"Off\"\nEndPrmText"},
    {64506, CheckMessageKind::Warning,
     "Keyword \"%s\" is specfied outside a Ext-User-Prm-Data-Definition. \"%s\" could be supposed as userspecific "
     "here.",
     "Keyword outside an ExtUserPrmData",
     "Data type lines, Prm_Text_Ref and EndExtUserPrmData belong inside an ExtUserPrmData block. Elsewhere the keyword "
     "could be taken for a manufacturer's own keyword.",
     EExampleFile::CompactSlave, "Bit(0) 0 0-1", "ExtUserPrmData = 1 \"Mode\"\nBit(0) 0 0-1\nEndExtUserPrmData"},
    {64507, CheckMessageKind::Warning,
     "Keyword \"%s\" is specified outside a Module-Definition. \"%s\" could be supposed as userspecific here.",
     "Keyword outside a Module",
     "Some keywords belong inside a Module block: the module's reference number, Ext_Module_Prm_Data_Len, Channel_Diag "
     "(before revision 3) and EndModule. Elsewhere the keyword could be taken for a manufacturer's own keyword.",
     EExampleFile::CompactSlave, "Channel_Diag(3) = \"Short circuit\"",
     "Module = \"In\" 0x10\nChannel_Diag(3) = \"Short circuit\"\nEndModule"},
    {64508, CheckMessageKind::Warning,
     "Keyword \"%s\" is specfied outside a Unit_Diag_Area-Definition. \"%s\" could be supposed as userspecific here.",
     "Keyword outside a Unit_Diag_Area",
     "Value lines and Unit_Diag_Area_End belong inside a Unit_Diag_Area block. Elsewhere the keyword could be taken "
     "for a manufacturer's own keyword.",
     EExampleFile::CompactSlave, "Value(1) = \"High\"",
     "Unit_Diag_Area = 16-23\nValue(1) = \"High\"\nUnit_Diag_Area_End"},
    {64509, CheckMessageKind::Warning,
     "Keyword \"%s\" is specfied inside a Prm-Text-Definition. \"%s\" could be supposed as userspecific here.",
     "Keyword inside a PrmText",
     "A PrmText block holds Text lines only. Another keyword inside it could be taken for a manufacturer's own "
     "keyword; close the block first.",
     EExampleFile::CompactSlave, "PrmText = 1\nText(0) = \"Off\"\nRedundancy = 0\nEndPrmText",
     "PrmText = 1\nText(0) = \"Off\"\nEndPrmText\nRedundancy = 0"},
    {64510, CheckMessageKind::Warning,
     "Keyword \"%s\" is specfied inside a Ext_User-Prm-Data-Definition. \"%s\" could be supposed as userspecific "
     "here.",
     "Keyword inside an ExtUserPrmData",
     "An ExtUserPrmData block holds its data type line and Prm_Text_Ref only. Another keyword inside it could be taken "
     "for a manufacturer's own keyword; close the block first.",
     EExampleFile::CompactSlave, "ExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 0-1\nRedundancy = 0\nEndExtUserPrmData",
     "ExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 0-1\nEndExtUserPrmData\nRedundancy = 0"},
    {64511, CheckMessageKind::Warning,
     "Keyword \"%s\" is specfied inside a Module-Definition. \"%s\" could be supposed as userspecific here.",
     "Keyword inside a Module",
     "A keyword of the file's general part stands inside a Module block, where it could be taken for a manufacturer's "
     "own keyword; close the block first.",
     EExampleFile::CompactSlave, "Module = \"In\" 0x10\nRedundancy = 0\nEndModule",
     "Redundancy = 0\nModule = \"In\" 0x10\nEndModule"},
    {64512, CheckMessageKind::Warning,
     "Keyword \"%s\" is specfied inside a Unit_Diag_Area-Definition. \"%s\" could be supposed as userspecific here.",
     "Keyword inside a Unit_Diag_Area",
     "A Unit_Diag_Area block holds Value lines only. Another keyword inside it could be taken for a manufacturer's own "
     "keyword; close the block first.",
     EExampleFile::CompactSlave, "Unit_Diag_Area = 16-23\nValue(0) = \"Ready\"\nRedundancy = 0\nUnit_Diag_Area_End",
     "Unit_Diag_Area = 16-23\nValue(0) = \"Ready\"\nUnit_Diag_Area_End\nRedundancy = 0"},
    {64601, CheckMessageKind::Error, "There is no MaxTsdr specified for the supported Baudrate.",
     "No MaxTsdr for a supported baud rate",
     "For every baud rate the device supports (its _supp keyword is 1), the file must give the MaxTsdr of that rate.",
     EExampleFile::CompactSlave, "12M_supp = 1", "12M_supp = 1\nMaxTsdr_12M = 800"},
    {64602, CheckMessageKind::Error, "There is no Trdy specified for the supported Baudrate of a Master Device.",
     "No Trdy for a supported baud rate",
     "For every baud rate a DP master supports, its file must give the Trdy of that rate.", EExampleFile::Master,
     "; no Trdy_9.6 line", "Trdy_9.6 = 11"},
    {64603, CheckMessageKind::Error, "There is no Tqui specified for the supported Baudrate of a Master Device.",
     "No Tqui for a supported baud rate",
     "For every baud rate a DP master supports, its file must give the Tqui of that rate.", EExampleFile::Master,
     "; no Tqui_9.6 line", "Tqui_9.6 = 0"},
    {64604, CheckMessageKind::Error, "There is no Tset specified for the supported Baudrate of a Master Device.",
     "No Tset for a supported baud rate",
     "For every baud rate a DP master supports, its file must give the Tset of that rate.", EExampleFile::Master,
     "; no Tset_9.6 line", "Tset_9.6 = 1"},
    {64605, CheckMessageKind::Error, "There is no Tsdi specified for the supported Baudrate of a Master Device.",
     "No Tsdi for a supported baud rate",
     "For every baud rate a DP master supports, its file must give the Tsdi of that rate.", EExampleFile::Master,
     "; no Tsdi_9.6 line", "Tsdi_9.6 = 70"},
    {64606, CheckMessageKind::Error, "There is no Baudrate Support specified for the MaxTsdr.",
     "MaxTsdr for an unsupported baud rate",
     "The file gives a MaxTsdr for a baud rate whose _supp keyword is missing. Add the _supp keyword of the rate, or "
     "leave the MaxTsdr out.",
     EExampleFile::CompactSlave, "MaxTsdr_12M = 800", "12M_supp = 1\nMaxTsdr_12M = 800"},
    {64607, CheckMessageKind::Error,
     "There is no Baudrate Support specified for the Time Parameter of a Master Device.",
     "Time parameter for an unsupported baud rate",
     "A DP master file gives Trdy, Tqui, Tset or Tsdi for a baud rate whose _supp keyword is missing. Add the _supp "
     "keyword of the rate with its MaxTsdr, or leave the time parameter out.",
     EExampleFile::Master, "Trdy_12M = 11",
     "12M_supp = 1\nMaxTsdr_12M = 800\nTrdy_12M = 11\nTqui_12M = 0\nTset_12M = 1\nTsdi_12M = 70"},
    {64608, CheckMessageKind::Error,
     "Invalid Definition. The Definition of User_Prm_Data_Len is required to define \"%s\".",
     "User_Prm_Data without User_Prm_Data_Len",
     "User_Prm_Data gives the default user parameter bytes; their length must be declared with User_Prm_Data_Len.",
     EExampleFile::CompactSlave, "User_Prm_Data = 0x00", "User_Prm_Data_Len = 1\nUser_Prm_Data = 0x00"},
    {64609, CheckMessageKind::Error,
     "The Length of User_Prm_Data exceeds Range. The Length must be equal to the Definition of User_Prm_Data_Len.",
     "User_Prm_Data of the wrong length",
     "User_Prm_Data must hold exactly as many bytes as User_Prm_Data_Len declares.", EExampleFile::CompactSlave,
     "User_Prm_Data_Len = 2\nUser_Prm_Data = 0x00", "User_Prm_Data_Len = 1\nUser_Prm_Data = 0x00"},
    {64610, CheckMessageKind::Warning, "The Definition of Max_Diag_Data_Len is recommended to define \"%s\".",
     "Diagnosis texts without Max_Diag_Data_Len",
     "Unit_Diag_Bit and Unit_Diag_Area name positions in the diagnostic data, whose length Max_Diag_Data_Len gives; "
     "without it the positions cannot be checked.",
     EExampleFile::CompactSlave, "; no Max_Diag_Data_Len line\nUnit_Diag_Bit(0) = \"Low\"",
     "Max_Diag_Data_Len = 16\nUnit_Diag_Bit(0) = \"Low\""},
    {64611, CheckMessageKind::Error,
     "The Position of \"%s\" exceeds Range. The Position must be in the Range defined by Max_Diag_Data_Len.",
     "Diagnosis position beyond Max_Diag_Data_Len",
     "The bit positions of Unit_Diag_Bit and Unit_Diag_Area count from the first byte after the six bytes of standard "
     "diagnosis and the header byte of the device-related diagnosis; they must lie within the Max_Diag_Data_Len bytes "
     "of diagnostic data. With Max_Diag_Data_Len = 16 the bits 0 to 71 are available.",
     EExampleFile::CompactSlave, "Unit_Diag_Bit(72) = \"Overload\"", "Unit_Diag_Bit(71) = \"Overload\""},
    {64612, CheckMessageKind::Warning, "Redefinition of an Entry in the Diagnostic Data.",
     "Diagnosis bit defined twice",
     "A bit of the device-related diagnosis is named by a second Unit_Diag_Bit or lies in a second Unit_Diag_Area.",
     EExampleFile::CompactSlave, "Unit_Diag_Bit(3) = \"Low\"\nUnit_Diag_Bit(3) = \"High\"",
     "Unit_Diag_Bit(3) = \"Low\"\nUnit_Diag_Bit(4) = \"High\""},
    {64613, CheckMessageKind::Error,
     "The Value \"%d\" exceeds Range. The Value must be in the Range of the Unit_Diag_Area.",
     "Value beyond its Unit_Diag_Area",
     "A Value of a Unit_Diag_Area must fit in the bits of the area: an area of eight bits, such as 16-23, allows the "
     "values 0 to 255.",
     EExampleFile::CompactSlave, "Unit_Diag_Area = 16-23\nValue(256) = \"Fault\"\nUnit_Diag_Area_End",
     "Unit_Diag_Area = 16-23\nValue(255) = \"Fault\"\nUnit_Diag_Area_End"},
    {64614, CheckMessageKind::Warning, "Redefinition of an Entry in an Unit_Diag_Area.",
     "Value defined twice in a Unit_Diag_Area", "Each value of a Unit_Diag_Area should be named once.",
     EExampleFile::CompactSlave, "Unit_Diag_Area = 16-23\nValue(1) = \"Low\"\nValue(1) = \"High\"\nUnit_Diag_Area_End",
     "Unit_Diag_Area = 16-23\nValue(1) = \"Low\"\nValue(2) = \"High\"\nUnit_Diag_Area_End"},
    {64618, CheckMessageKind::Error,
     "Ambigious Module_Reference \"%d\" for this Module. \"%d\" is already used by an other Module.",
     "Module reference number used twice",
     "The reference number of a Module (the number on a line of its own inside the block) identifies the module and "
     "must differ from that of every other Module.",
     EExampleFile::CompactSlave, "Module = \"In\" 0x10\n1\nEndModule\nModule = \"Out\" 0x20\n1\nEndModule",
     "Module = \"In\" 0x10\n1\nEndModule\nModule = \"Out\" 0x20\n2\nEndModule"},
    {64619, CheckMessageKind::Warning,
     "The Definition of Max_User_Prm_Data_Len is recommended to define Ext_Module_Prm_Data_Len.",
     "Ext_Module_Prm_Data_Len without Max_User_Prm_Data_Len",
     "The parameter data of a module are part of the user parameter data, whose greatest length Max_User_Prm_Data_Len "
     "gives. Without it the length of the module's parameters cannot be checked.",
     EExampleFile::CompactSlave,
     "Module = \"In\" 0x10\nExt_Module_Prm_Data_Len = 1\nExt_User_Prm_Data_Const(0) = 0x00\nEndModule",
     "Max_User_Prm_Data_Len = 1\nModule = \"In\" 0x10\nExt_Module_Prm_Data_Len = 1\nExt_User_Prm_Data_Const(0) = "
     "0x00\nEndModule"},
    {64620, CheckMessageKind::Error,
     "The Length of Ext_Module_Prm_Data_Len exceeds Range. The Length must be less or equal to Max_User_Prm_Data_Len.",
     "Ext_Module_Prm_Data_Len beyond Max_User_Prm_Data_Len",
     "The parameter data of a module cannot be longer than the user parameter data as a whole.",
     EExampleFile::CompactSlave,
     "Max_User_Prm_Data_Len = 1\nModule = \"In\" 0x10\nExt_Module_Prm_Data_Len = 2\nExt_User_Prm_Data_Const(0) = "
     "0x00,0x00\nEndModule",
     "Max_User_Prm_Data_Len = 2\nModule = \"In\" 0x10\nExt_Module_Prm_Data_Len = 2\nExt_User_Prm_Data_Const(0) = "
     "0x00,0x00\nEndModule"},
    {64621, CheckMessageKind::Warning, "Redefinition of an Entry in the Channel_Diag.", "Channel_Diag defined twice",
     "Each error type of the channel-related diagnosis should be named once in a module (or once at the top level).",
     EExampleFile::CompactSlave,
     "Module = \"In\" 0x10\nChannel_Diag(1) = \"Short circuit\"\nChannel_Diag(1) = \"Open\"\nEndModule",
     "Module = \"In\" 0x10\nChannel_Diag(1) = \"Short circuit\"\nChannel_Diag(2) = \"Open\"\nEndModule"},
    {64622, CheckMessageKind::Warning,
     "The Definition of User_Prm_Data_Len will be invalid by use of the Keyword \"%s\".",
     "User_Prm_Data_Len made invalid",
     "Max_User_Prm_Data_Len belongs to files whose user parameters are built from ExtUserPrmData definitions; together "
     "with it a User_Prm_Data_Len is not used.",
     EExampleFile::CompactSlave, "Max_User_Prm_Data_Len = 4\nUser_Prm_Data_Len = 0", "Max_User_Prm_Data_Len = 4"},
    {64623, CheckMessageKind::Warning, "The Definition of User_Prm_Data will be invalid by use of the Keyword \"%s\".",
     "User_Prm_Data made invalid",
     "Where Ext_User_Prm_Data_Const or Ext_User_Prm_Data_Ref build the user parameter data, a User_Prm_Data of fixed "
     "bytes is not used.",
     EExampleFile::CompactSlave, "User_Prm_Data_Len = 1\nUser_Prm_Data = 0x00\nExt_User_Prm_Data_Const(0) = 0x00",
     "Max_User_Prm_Data_Len = 1\nExt_User_Prm_Data_Const(0) = 0x00"},
    {64624, CheckMessageKind::Warning, "The Definition of Max_User_Prm_Data_Len is recommended to define \"%s\".",
     "Max_User_Prm_Data_Len recommended",
     "Ext_User_Prm_Data_Const and Ext_User_Prm_Data_Ref place bytes in the user parameter data. Their positions are "
     "checked against Max_User_Prm_Data_Len, which should therefore be given.",
     EExampleFile::CompactSlave, "User_Prm_Data_Len = 1\nExt_User_Prm_Data_Const(0) = 0x00",
     "Max_User_Prm_Data_Len = 1\nExt_User_Prm_Data_Const(0) = 0x00"},
    {64625, CheckMessageKind::Error,
     "Invalid Length of User-Parameter-Definition. The User-Parameter must be in the Range defined by "
     "Max_User_Prm_Data_Len.",
     "User parameter beyond Max_User_Prm_Data_Len",
     "A constant or a referenced parameter reaches past the end of the user parameter data that Max_User_Prm_Data_Len "
     "declares.",
     EExampleFile::CompactSlave, "Max_User_Prm_Data_Len = 4\nExt_User_Prm_Data_Const(3) = 0x00,0x00",
     "Max_User_Prm_Data_Len = 4\nExt_User_Prm_Data_Const(2) = 0x00,0x00"},
    {64627, CheckMessageKind::Warning, "Possibly multiple Use of Offset \"%d\" in the User-Parameter-Definition.",
     "Offset possibly used twice",
     "Two user parameters occupy the same byte, or the same bits of a byte. Parameters may share a byte only through "
     "distinct bits.",
     EExampleFile::CompactSlave,
     "Max_User_Prm_Data_Len = 4\nExt_User_Prm_Data_Const(0) = 0x00,0x00\nExt_User_Prm_Data_Const(1) = 0x00",
     "Max_User_Prm_Data_Len = 4\nExt_User_Prm_Data_Const(0) = 0x00,0x00\nExt_User_Prm_Data_Const(2) = 0x00"},
    {64628, CheckMessageKind::Error, "Unresolved Reference to ExtUserPrmData. No ExtUserPrmData \"%d\" defined.",
     "Reference to an undefined ExtUserPrmData",
     "Ext_User_Prm_Data_Ref names the reference number of an ExtUserPrmData block, but no block of the file has that "
     "number.",
     EExampleFile::CompactSlave, "Max_User_Prm_Data_Len = 1\nExt_User_Prm_Data_Ref(0) = 9",
     "Max_User_Prm_Data_Len = 1\nExtUserPrmData = 9 \"Mode\"\nUnsigned8 0 "
     "0-1\nEndExtUserPrmData\nExt_User_Prm_Data_Ref(0) = 9"},
    {64629, CheckMessageKind::Error,
     "Ambigious ExtUserPrmData \"%d\". \"%d\" is already used by an other ExtUserPrmData.",
     "ExtUserPrmData number used twice",
     "The reference number of an ExtUserPrmData block identifies it and must differ from that of every other "
     "ExtUserPrmData.",
     EExampleFile::CompactSlave,
     "ExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 0-1\nEndExtUserPrmData\nExtUserPrmData = 1 \"Speed\"\nUnsigned8 0 "
     "0-3\nEndExtUserPrmData",
     "ExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 0-1\nEndExtUserPrmData\nExtUserPrmData = 2 \"Speed\"\nUnsigned8 0 "
     "0-3\nEndExtUserPrmData"},
    {64630, CheckMessageKind::Warning, "No Reference to ExtUserPrmData \"%d\" found.", "ExtUserPrmData not referenced",
     "No Ext_User_Prm_Data_Ref refers to the ExtUserPrmData block, so the parameter it defines is never used.",
     EExampleFile::CompactSlave, "ExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 0-1\nEndExtUserPrmData",
     "Max_User_Prm_Data_Len = 1\nExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 "
     "0-1\nEndExtUserPrmData\nExt_User_Prm_Data_Ref(0) = 1"},
    {64639, CheckMessageKind::Error, "Unresolved Reference to PrmText. No PrmText \"%d\" defined.",
     "Reference to an undefined PrmText",
     "Prm_Text_Ref names the reference number of a PrmText block, but no block of the file has that number.",
     EExampleFile::CompactSlave,
     "Max_User_Prm_Data_Len = 1\nExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 0-1\nPrm_Text_Ref = "
     "2\nEndExtUserPrmData\nExt_User_Prm_Data_Ref(0) = 1",
     "PrmText = 2\nText(0) = \"Off\"\nText(1) = \"On\"\nEndPrmText\nMax_User_Prm_Data_Len = 1\nExtUserPrmData = 1 "
     "\"Mode\"\nUnsigned8 0 0-1\nPrm_Text_Ref = 2\nEndExtUserPrmData\nExt_User_Prm_Data_Ref(0) = 1"},
    {64640, CheckMessageKind::Error, " Ambigious PrmText \"%d\". \"%d\" is already used by an other PrmText.",
     "PrmText number used twice",
     "The reference number of a PrmText block identifies it and must differ from that of every other PrmText.",
     EExampleFile::CompactSlave,
     "PrmText = 1\nText(0) = \"Off\"\nEndPrmText\nPrmText = 1\nText(0) = \"Low\"\nEndPrmText",
     "PrmText = 1\nText(0) = \"Off\"\nEndPrmText\nPrmText = 2\nText(0) = \"Low\"\nEndPrmText"},
    {64641, CheckMessageKind::Warning, "No Reference to PrmText \"%d\" found.", "PrmText not referenced",
     "No Prm_Text_Ref refers to the PrmText block, so its texts are never shown.", EExampleFile::CompactSlave,
     "PrmText = 7\nText(0) = \"Off\"\nEndPrmText",
     "PrmText = 7\nText(0) = \"Off\"\nEndPrmText\nMax_User_Prm_Data_Len = 1\nExtUserPrmData = 1 \"Mode\"\nUnsigned8 0 "
     "0-1\nPrm_Text_Ref = 7\nEndExtUserPrmData\nExt_User_Prm_Data_Ref(0) = 1"},
    {64642, CheckMessageKind::Warning, "Redefinition of an Entry in the PrmText.", "Text defined twice in a PrmText",
     "Each value of a PrmText block should be named by one Text line.", EExampleFile::CompactSlave,
     "PrmText = 1\nText(0) = \"Off\"\nText(0) = \"On\"\nEndPrmText",
     "PrmText = 1\nText(0) = \"Off\"\nText(1) = \"On\"\nEndPrmText"},
    {64643, CheckMessageKind::Warning, "The \"%s\" specifies not a DP-Device.", "Not a DP device",
     "Protocol_Ident 0 stands for PROFIBUS DP; the values 16 to 255 are for manufacturer-specific protocols, which "
     "Taluna does not check.",
     EExampleFile::CompactSlave, "Protocol_Ident = 16", "Protocol_Ident = 0"},
    {64644, CheckMessageKind::Error,
     "Invalid Length of Parameter Data of this Module. The Length must be equal to Ext_Module_Prm_Data_Len.",
     "Module parameter data of the wrong length",
     "The constants and referenced parameters of a Module must fill exactly the Ext_Module_Prm_Data_Len bytes it "
     "declares. Parameters that reach past the declared length are an error; parameters that leave bytes of it unused "
     "are reported as a warning.",
     EExampleFile::CompactSlave,
     "Max_User_Prm_Data_Len = 8\nModule = \"In\" 0x10\nExt_Module_Prm_Data_Len = 1\nExt_User_Prm_Data_Const(0) = "
     "0x00,0x00\nEndModule",
     "Max_User_Prm_Data_Len = 8\nModule = \"In\" 0x10\nExt_Module_Prm_Data_Len = 2\nExt_User_Prm_Data_Const(0) = "
     "0x00,0x00\nEndModule"},
    {64645, CheckMessageKind::Error,
     "Invalid Length of User-Parameter-Definition. The \"%s\" must be in the Range defined by User_Prm_Data_Len.",
     "User parameter beyond User_Prm_Data_Len",
     "Without Max_User_Prm_Data_Len, the constants and referenced parameters are checked against User_Prm_Data_Len, "
     "and one of them reaches past it.",
     EExampleFile::CompactSlave, "User_Prm_Data_Len = 1\nExt_User_Prm_Data_Const(0) = 0x00,0x00",
     "User_Prm_Data_Len = 2\nExt_User_Prm_Data_Const(0) = 0x00,0x00"},
    {64646, CheckMessageKind::Error,
     "Invalid Definition. The Definition of a User-Parameter-Length is required to define \"%s\".",
     "User parameter without a length",
     "A constant, a reference or a module's parameter length needs the length of the user parameter data: "
     "Max_User_Prm_Data_Len (or at least User_Prm_Data_Len) must be given.",
     EExampleFile::CompactSlave, "Ext_User_Prm_Data_Const(0) = 0x00",
     "Max_User_Prm_Data_Len = 1\nExt_User_Prm_Data_Const(0) = 0x00"},
    {65134, CheckMessageKind::Error, "No or multiple equal sign(s) in key \"%s\"!", "Missing or repeated equal sign",
     "A key is written as Keyword = Value, with exactly one equal sign outside of strings. Keywords that stand alone, "
     "such as EndModule, take none.",
     EExampleFile::CompactSlave, "Slave_Family 3", "Slave_Family = 3"},
    {65139, CheckMessageKind::Warning,
     "Key %s: Keys beginning with a '#' can cause problems for following GSD entries!", "Keyword beginning with '#'",
     "Only #Profibus_DP, the first line of a GSD file, begins with \"#\". Tools may read other keys that begin with "
     "\"#\" as the start of a new file, so the entries that follow could be lost.",
     EExampleFile::CompactSlave, "#Velmar_Info = 1", "; Velmar_Info = 1"},
    {65140, CheckMessageKind::FatalError, "Database is empty! Please check if the #PROFIBUS_DP entry exists.",
     "Database is empty",
     "No key could be read into the database, because the file has no #Profibus_DP line. Every GSD file begins with "
     "it; without it nothing else is checked.",
     EExampleFile::Empty, "Vendor_Name = \"Velmar\"", "#Profibus_DP\nVendor_Name = \"Velmar\""},
    {65141, CheckMessageKind::Error, "Key \"%s\": The Configuration Data are invalid.", "Invalid configuration data",
     "The identifier bytes of a Module line do not form valid configuration data: an identifier byte of the special "
     "format announces a length byte or manufacturer-specific bytes that do not follow it on the line.",
     EExampleFile::CompactSlave, "Module = \"In\" 0x40\nEndModule", "Module = \"In\" 0x40,0x10\nEndModule"},
    {70100, CheckMessageKind::Error, "Block end \"%s\" without its opener \"%s\".", "Block end without its opener",
     "A closer of a block of revision 3 to 5 files (EndSlotDefinition, End_Physical_Interface, EndUnitDiagType, "
     "X_Unit_Diag_Area_End, Data_Area_End, End_Jokerblock_Type, End_Version_Firmware_Download) stands where no such "
     "block is open. An error for blocks whose revision is stated, a warning for the others. Reported by the revision "
     "5 rules only.",
     EExampleFile::Rev5Slave, "Slot(1) = \"Slot 1\" 1 1\nEndSlotDefinition",
     "SlotDefinition\nSlot(1) = \"Slot 1\" 1 1\nEndSlotDefinition"},
    {70101, CheckMessageKind::Error, "Block \"%s\" is not closed: \"%s\" is missing at the end of the file.",
     "Block not closed",
     "A block opened by SlotDefinition, Physical_Interface, UnitDiagType, X_Unit_Diag_Area, Data_Area_Beg, "
     "Jokerblock_Type or Version_Firmware_Download is still open at the end of the file. An error for blocks whose "
     "revision is stated, a warning for the others. Reported by the revision 5 rules only.",
     EExampleFile::Rev5Slave, "Physical_Interface = 0\nTransmission_Delay_9.6 = 0",
     "Physical_Interface = 0\nTransmission_Delay_9.6 = 0\nEnd_Physical_Interface"},
    {70102, CheckMessageKind::Warning,
     "Block \"%s\" is still open where its enclosing block \"%s\" ends: \"%s\" is missing.",
     "Block still open where its enclosing block ends",
     "Blocks nest two levels deep: X_Unit_Diag_Area inside UnitDiagType, Data_Area_Beg inside a Module. The inner "
     "block must be closed before the outer one ends. A warning, since the revision of neither inner block is "
     "stated. Reported by the revision 5 rules only.",
     EExampleFile::Rev5Slave, "UnitDiagType = 130\nX_Unit_Diag_Area = 24-25\nX_Value(0) = \"ok\"\nEndUnitDiagType",
     "UnitDiagType = 130\nX_Unit_Diag_Area = 24-25\nX_Value(0) = \"ok\"\nX_Unit_Diag_Area_End\nEndUnitDiagType"},
    {70103, CheckMessageKind::Error, "Keyword \"%s\" belongs inside a \"%s\" block.", "Keyword outside its block",
     "Some keywords belong inside a block only: Slot inside SlotDefinition, the delay keys inside Physical_Interface, "
     "the X_Unit_Diag keys inside UnitDiagType, X_Value inside X_Unit_Diag_Area, the data area keys inside "
     "Data_Area_Beg, Preset and the F_ keys inside a Module. An error for keywords whose revision is stated, a warning "
     "for the others. Reported by the revision 5 rules only.",
     EExampleFile::Rev5Slave, "Transmission_Delay_9.6 = 0",
     "Physical_Interface = 0\nTransmission_Delay_9.6 = 0\nEnd_Physical_Interface"},
    {70110, CheckMessageKind::Warning, "Slot %d: the default module %d is not one of the allowed modules \"%s\".",
     "Slot default not among the allowed modules",
     "A Slot line names the slot's default module and the modules allowed in it. The default should be one of the "
     "allowed modules; no description of the format demands it, so this is a warning. Reported by the revision 5 rules "
     "only.",
     EExampleFile::Rev5Slave, "SlotDefinition\nSlot(1) = \"Slot 1\" 2 1\nEndSlotDefinition",
     "SlotDefinition\nSlot(1) = \"Slot 1\" 1 1,2\nEndSlotDefinition"},
    {70111, CheckMessageKind::Error, "Slot %d: the module reference %d is not defined by a Module of this file.",
     "Slot names an undefined module",
     "The default and the listed modules of a Slot line are module reference numbers: the bare numbers that stand on "
     "the line after a Module line. Every one of them must be defined by a Module of the file. Reported by the "
     "revision 5 rules only.",
     EExampleFile::Rev5Slave, "SlotDefinition\nSlot(1) = \"Slot 1\" 1 1,9\nEndSlotDefinition",
     "SlotDefinition\nSlot(1) = \"Slot 1\" 1 1,2\nEndSlotDefinition"},
    {70112, CheckMessageKind::Warning,
     "Slot %d: the module reference %d of the range \"%s\" is not defined by a Module of this file.",
     "A range of a Slot reaches beyond the modules",
     "A Slot may allow a range of module references. A number of the range that no Module of the file defines is named "
     "once; real files do this on purpose, so it is a warning. Reported by the revision 5 rules only.",
     EExampleFile::Rev5Slave, "SlotDefinition\nSlot(1) = \"Slot 1\" 1 1-5\nEndSlotDefinition",
     "SlotDefinition\nSlot(1) = \"Slot 1\" 1 1-2\nEndSlotDefinition"},
    {70120, CheckMessageKind::Warning,
     "Keyword \"%s\" was introduced in GSD_Revision %d, but the file declares GSD_Revision %d.",
     "Keyword of a later revision than the file declares",
     "The keyword was introduced by a later GSD revision than the file's GSD_Revision states. Raise GSD_Revision or "
     "leave the keyword out. Keywords whose revision is only inferred or open are never reported. Reported by the "
     "revision 5 rules only.",
     EExampleFile::Rev5Slave, "GSD_Revision = 2\nDPV1_Slave = 1", "GSD_Revision = 3\nDPV1_Slave = 1"},
    {70130, CheckMessageKind::Warning, "GSD_Revision \"%d\" not supported. GSD is checked according to GSD_Revision 5.",
     "GSD_Revision above 5",
     "The revision 5 rules know GSD revisions up to 5. A file that declares a higher revision is checked according to "
     "revision 5. Reported by the revision 5 rules only.",
     EExampleFile::Rev5Slave, "GSD_Revision = 6", "GSD_Revision = 5"},
};

constexpr bool OrderedById() {
    for (size_t i = 1; i < std::size(kMessages); ++i)
        if (kMessages[i - 1].m_nId >= kMessages[i].m_nId) return false;
    return true;
}
static_assert(OrderedById(), "the catalogue must be ordered by id, each id once");

constexpr const char* kCompactSlave[] = {
    "#Profibus_DP",
    "GSD_Revision = 1",
    "Vendor_Name = \"Velmar\"",
    "Model_Name = \"Base\"",
    "Revision = \"1.0\"",
    "Ident_Number = 0x1234",
    "Protocol_Ident = 0",
    "Station_Type = 0",
    "FMS_supp = 0",
    "Hardware_Release = \"HW1\"",
    "Software_Release = \"SW1\"",
    "9.6_supp = 1",
    "MaxTsdr_9.6 = 60",
    "Min_Slave_Intervall = 1",
    "Max_Diag_Data_Len = 16",
    "Slave_Family = 3",
    "Module = \"In\" 0x10",
    "EndModule",
};

constexpr const char* kMaster[] = {
    "#Profibus_DP",
    "GSD_Revision = 1",
    "Vendor_Name = \"Velmar\"",
    "Model_Name = \"Master\"",
    "Revision = \"1.0\"",
    "Ident_Number = 0x1234",
    "Protocol_Ident = 0",
    "Station_Type = 1",
    "FMS_supp = 0",
    "Hardware_Release = \"HW1\"",
    "Software_Release = \"SW1\"",
    "9.6_supp = 1",
    "MaxTsdr_9.6 = 60",
    "Trdy_9.6 = 11",
    "Tqui_9.6 = 0",
    "Tset_9.6 = 1",
    "Tsdi_9.6 = 70",
    "Max_MPS_Length = 100",
    "Max_Lsdu_MS = 244",
    "Max_Lsdu_MM = 244",
    "Min_Poll_Timeout = 10",
    "Max_Slaves_supp = 125",
};

constexpr const char* kRev5Slave[] = {
    "#Profibus_DP",
    "GSD_Revision = 5",
    "Vendor_Name = \"Velmar\"",
    "Model_Name = \"Modular\"",
    "Revision = \"1.0\"",
    "Ident_Number = 0x1234",
    "Protocol_Ident = 0",
    "Station_Type = 0",
    "FMS_supp = 0",
    "Hardware_Release = \"HW1\"",
    "Software_Release = \"SW1\"",
    "9.6_supp = 1",
    "MaxTsdr_9.6 = 60",
    "Min_Slave_Intervall = 1",
    "Max_Diag_Data_Len = 16",
    "Slave_Family = 3",
    "Modular_Station = 1",
    "Max_Module = 2",
    "Max_Input_Len = 8",
    "Max_Output_Len = 8",
    "Max_Data_Len = 16",
    "Module = \"In\" 0x10",
    "1",
    "EndModule",
    "Module = \"Out\" 0x20",
    "2",
    "EndModule",
};

// The keyword of a line: up to the equal sign, an opening bracket or a blank;
// empty for a comment or a blank line.
std::string_view KeywordOf(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.empty() || line.front() == ';') return {};
    return line.substr(0, line.find_first_of("=( \t"));
}

bool SameKeyword(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Calls `f` for each line of a '\n'-separated text.
template <class F>
void ForEachLine(std::string_view text, F f) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        f(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

bool NamedBy(std::string_view keyword, std::string_view lines) {
    bool named = false;
    ForEachLine(lines, [&](std::string_view line) { named = named || SameKeyword(KeywordOf(line), keyword); });
    return named;
}

}  // namespace

std::span<const SMessageInfo> Messages() {
    return kMessages;
}

const SMessageInfo* FindMessage(int id) {
    const auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), id,
                                     [](const SMessageInfo& m, int value) { return m.m_nId < value; });
    return it != std::end(kMessages) && it->m_nId == id ? &*it : nullptr;
}

int KindOf(int id) {
    const SMessageInfo* message = FindMessage(id);
    return message != nullptr ? message->m_nKind : CheckMessageKind::Info;
}

std::string HelpPageName(int id) {
    return "msg_" + std::to_string(id) + ".htm";
}

std::span<const char* const> ExampleFileLines(EExampleFile file) {
    switch (file) {
        case EExampleFile::CompactSlave: return kCompactSlave;
        case EExampleFile::Master: return kMaster;
        case EExampleFile::Rev5Slave: return kRev5Slave;
        case EExampleFile::Empty: break;
    }
    return {};
}

const char* ExampleFileName(EExampleFile file) {
    switch (file) {
        case EExampleFile::CompactSlave: return "a compact slave file of GSD_Revision 1";
        case EExampleFile::Master: return "a master file of GSD_Revision 1";
        case EExampleFile::Rev5Slave:
            return "a modular slave file of GSD_Revision 5, checked with the revision 5 rules";
        case EExampleFile::Empty: break;
    }
    return "a file of these lines only";
}

std::string ExampleText(const SMessageInfo& message, bool corrected) {
    std::string text;
    for (const char* line : ExampleFileLines(message.m_File)) {
        const std::string_view keyword = KeywordOf(line);
        if (NamedBy(keyword, message.m_pszExample) || NamedBy(keyword, message.m_pszCorrected)) continue;
        text += line;
        text += "\r\n";
    }
    ForEachLine(corrected ? message.m_pszCorrected : message.m_pszExample, [&](std::string_view line) {
        text += line;
        text += "\r\n";
    });
    return text;
}
