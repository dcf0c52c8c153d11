#include "check/keyword_catalogue.h"

#include <unordered_map>

#include "model/text_util.h"

namespace {

constexpr SCatalogueRow kRows[] = {
    {"GSD_Revision", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 60, {0, 0, 0, 0}, nullptr},
    {"Vendor_Name", PARENT_GENERAL, TYPE_SIMPLE_STRING, 1, ESplit::Q, ECheck::S32, nullptr, 61, {0, 0, 0, 0}, nullptr},
    {"Model_Name", PARENT_GENERAL, TYPE_SIMPLE_STRING, 1, ESplit::Q, ECheck::S32, nullptr, 62, {0, 0, 0, 0}, nullptr},
    {"Revision", PARENT_GENERAL, TYPE_SIMPLE_STRING, 1, ESplit::Q, ECheck::S32, nullptr, 63, {0, 0, 0, 0}, nullptr},
    {"Revision_Number", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 0..63", 64, {0, 0, 0, 0}, nullptr},
    {"Ident_Number", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, nullptr, 65, {0, 0, 0, 0}, nullptr},
    {"Protocol_Ident", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 0|(16..255)", 66, {0, 0, 0, 0}, nullptr},
    {"Station_Type", PARENT_GENERAL, TYPE_SIMPLE_UINT, 4, ESplit::V, ECheck::N8, "UCHAR: 0|1", 67, {37, 38, 0, 0}, nullptr},
    {"FMS_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 68, {39, 0, 0, 0}, nullptr},
    {"Hardware_Release", PARENT_GENERAL, TYPE_SIMPLE_STRING, 1, ESplit::Q, ECheck::S32, nullptr, 69, {0, 0, 0, 0}, nullptr},
    {"Software_Release", PARENT_GENERAL, TYPE_SIMPLE_STRING, 1, ESplit::Q, ECheck::S32, nullptr, 11, {0, 0, 0, 0}, nullptr},
    {"9.6_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 12, {39, 0, 0, 0}, nullptr},
    {"19.2_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 13, {39, 0, 0, 0}, nullptr},
    {"31.25_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 52, {39, 0, 0, 0}, nullptr},
    {"45.45_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 56, {39, 0, 0, 0}, nullptr},
    {"93.75_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 14, {39, 0, 0, 0}, nullptr},
    {"187.5_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 15, {39, 0, 0, 0}, nullptr},
    {"500_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 16, {39, 0, 0, 0}, nullptr},
    {"1.5M_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 17, {39, 0, 0, 0}, nullptr},
    {"3M_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 18, {39, 0, 0, 0}, nullptr},
    {"6M_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 19, {39, 0, 0, 0}, nullptr},
    {"12M_supp", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 20, {39, 0, 0, 0}, nullptr},
    {"MaxTsdr_9.6", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 21, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_19.2", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 22, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_31.25", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 70, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_45.45", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 71, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_93.75", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 23, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_187.5", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 24, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_500", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 25, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_1.5M", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 26, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_3M", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 27, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_6M", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 28, {0, 0, 0, 0}, nullptr},
    {"MaxTsdr_12M", PARENT_GENERAL, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 29, {0, 0, 0, 0}, nullptr},
    {"Redundancy", PARENT_GENERAL, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 30, {39, 0, 0, 0}, nullptr},
    {"Repeater_Ctrl_Sig", PARENT_GENERAL, TYPE_SIMPLE_UINT, 3, ESplit::V, ECheck::N8, "UCHAR: 0..2", 31, {40, 41, 42, 0}, nullptr},
    {"24V_Pins", PARENT_GENERAL, TYPE_SIMPLE_UINT, 3, ESplit::V, ECheck::N8, "UCHAR: 0..2", 32, {40, 43, 44, 0}, nullptr},
    {"Implementation_Type", PARENT_GENERAL, TYPE_SIMPLE_STRING, 1, ESplit::Q, ECheck::S32, nullptr, 33, {0, 0, 0, 0}, nullptr},
    {"Bitmap_Device", PARENT_GENERAL, TYPE_SIMPLE_STRING, 1, ESplit::Q, ECheck::FILE8, nullptr, 34, {0, 0, 0, 0}, nullptr},
    {"Bitmap_Diag", PARENT_GENERAL, TYPE_SIMPLE_STRING, 1, ESplit::Q, ECheck::FILE8, nullptr, 35, {0, 0, 0, 0}, nullptr},
    {"Bitmap_SF", PARENT_GENERAL, TYPE_SIMPLE_STRING, 1, ESplit::Q, ECheck::FILE8, nullptr, 36, {0, 0, 0, 0}, nullptr},
    {"Freeze_Mode_supp", PARENT_SLAVE, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 65051, {39, 0, 0, 0}, nullptr},
    {"Sync_Mode_supp", PARENT_SLAVE, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 65052, {39, 0, 0, 0}, nullptr},
    {"Auto_Baud_supp", PARENT_SLAVE, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 65054, {39, 0, 0, 0}, nullptr},
    {"Set_Slave_Add_supp", PARENT_SLAVE, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 65053, {39, 0, 0, 0}, nullptr},
    {"User_Prm_Data_Len", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 0..237", 65055, {0, 0, 0, 0}, nullptr},
    {"User_Prm_Data", PARENT_SLAVE, TYPE_OCTET_STRING, 1, ESplit::T, ECheck::OCTETS, nullptr, 65056, {0, 0, 0, 0}, nullptr},
    {"Min_Slave_Intervall", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65058, {0, 0, 0, 0}, nullptr},
    {"Modular_Station", PARENT_SLAVE, TYPE_SIMPLE_BOOL, 4, ESplit::V, ECheck::BOOL, nullptr, 65059, {65087, 65088, 0, 0}, nullptr},
    {"Max_Module", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..244", 65060, {0, 0, 0, 0}, nullptr},
    {"Max_Input_Len", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 0..244", 65061, {0, 0, 0, 0}, nullptr},
    {"Max_Output_Len", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 0..244", 65062, {0, 0, 0, 0}, nullptr},
    {"Max_Data_Len", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 0..488", 65063, {0, 0, 0, 0}, nullptr},
    {"Unit_Diag_Bit", PARENT_SLAVE, TYPE_SIMPLE_STRING, 11, ESplit::X, ECheck::DIAGBIT, nullptr, 65064, {0, 0, 0, 0}, nullptr},
    {"EXT_MODULE_PRM_DATA_LEN", PARENT_MODULE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65071, {0, 0, 0, 0}, "Ext_Module_Prm_Data_Len"},
    {"Channel_Diag", PARENT_MODULE, TYPE_SIMPLE_STRING, 11, ESplit::X, ECheck::CHANDIAG, nullptr, 65072, {0, 0, 0, 0}, nullptr},
    {"Fail_Safe", PARENT_SLAVE, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 65073, {39, 0, 0, 0}, nullptr},
    {"Max_Diag_Data_Len", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 6|(8..244)", 65074, {0, 0, 0, 0}, nullptr},
    {"Modul_Offset", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65075, {0, 0, 0, 0}, nullptr},
    {"Slave_Family", PARENT_SLAVE, TYPE_SIMPLE_STRING, 1, ESplit::T, ECheck::FAMILY, nullptr, 65076, {0, 0, 0, 0}, nullptr},
    {"Max_User_Prm_Data_Len", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65077, {0, 0, 0, 0}, nullptr},
    {"Module", PARENT_SLAVE, TYPE_SIMPLE_STRING, 6, ESplit::X, ECheck::MODLINE, nullptr, 45, {0, 0, 0, 0}, nullptr},
    {"DOWNLOAD_SUPP", PARENT_MASTER, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 65002, {39, 0, 0, 0}, "Download_supp"},
    {"UPLOAD_SUPP", PARENT_MASTER, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 65003, {39, 0, 0, 0}, "Upload_supp"},
    {"ACT_PARA_BRCT_SUPP", PARENT_MASTER, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 65004, {39, 0, 0, 0}, "Act_Para_Brct_supp"},
    {"ACT_PARAM_SUPP", PARENT_MASTER, TYPE_SIMPLE_BOOL, 5, ESplit::V, ECheck::BOOL, nullptr, 65005, {39, 0, 0, 0}, "Act_Param_supp"},
    {"MAX_MPS_LENGTH", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N32, nullptr, 65006, {0, 0, 0, 0}, "Max_MPS_Length"},
    {"MAX_LSDU_MM", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 0..244", 65007, {0, 0, 0, 0}, "Max_Lsdu_MM"},
    {"MAX_LSDU_MS", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 0..244", 65008, {0, 0, 0, 0}, "Max_Lsdu_MS"},
    {"MIN_POLL_TIMEOUT", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65009, {0, 0, 0, 0}, "Min_Poll_Timeout"},
    {"TRDY_9.6", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65010, {0, 0, 0, 0}, "Trdy_9.6"},
    {"TRDY_19.2", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65011, {0, 0, 0, 0}, "Trdy_19.2"},
    {"TRDY_31.25", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65057, {0, 0, 0, 0}, "Trdy_31.25"},
    {"TRDY_45.45", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65114, {0, 0, 0, 0}, "Trdy_45.45"},
    {"TRDY_93.75", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65012, {0, 0, 0, 0}, "Trdy_93.75"},
    {"TRDY_187.5", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65013, {0, 0, 0, 0}, "Trdy_187.5"},
    {"TRDY_500", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65014, {0, 0, 0, 0}, "Trdy_500"},
    {"TRDY_1.5M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65015, {0, 0, 0, 0}, "Trdy_1.5M"},
    {"TRDY_3M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65016, {0, 0, 0, 0}, "Trdy_3M"},
    {"TRDY_6M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65017, {0, 0, 0, 0}, "Trdy_6M"},
    {"TRDY_12M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65018, {0, 0, 0, 0}, "Trdy_12M"},
    {"TQUI_9.6", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65019, {0, 0, 0, 0}, "Tqui_9.6"},
    {"TQUI_19.2", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65020, {0, 0, 0, 0}, "Tqui_19.2"},
    {"TQUI_31.25", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65115, {0, 0, 0, 0}, "Tqui_31.25"},
    {"TQUI_45.45", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65116, {0, 0, 0, 0}, "Tqui_45.45"},
    {"TQUI_93.75", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65021, {0, 0, 0, 0}, "Tqui_93.75"},
    {"TQUI_187.5", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65022, {0, 0, 0, 0}, "Tqui_187.5"},
    {"TQUI_500", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65023, {0, 0, 0, 0}, "Tqui_500"},
    {"TQUI_1.5M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65024, {0, 0, 0, 0}, "Tqui_1.5M"},
    {"TQUI_3M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65025, {0, 0, 0, 0}, "Tqui_3M"},
    {"TQUI_6M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65026, {0, 0, 0, 0}, "Tqui_6M"},
    {"TQUI_12M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65027, {0, 0, 0, 0}, "Tqui_12M"},
    {"TSET_9.6", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65028, {0, 0, 0, 0}, "Tset_9.6"},
    {"TSET_19.2", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65029, {0, 0, 0, 0}, "Tset_19.2"},
    {"TSET_31.25", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65117, {0, 0, 0, 0}, "Tset_31.25"},
    {"TSET_45.45", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65118, {0, 0, 0, 0}, "Tset_45.45"},
    {"TSET_93.75", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65030, {0, 0, 0, 0}, "Tset_93.75"},
    {"TSET_187.5", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65031, {0, 0, 0, 0}, "Tset_187.5"},
    {"TSET_500", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65032, {0, 0, 0, 0}, "Tset_500"},
    {"TSET_1.5M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65033, {0, 0, 0, 0}, "Tset_1.5M"},
    {"TSET_3M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65034, {0, 0, 0, 0}, "Tset_3M"},
    {"TSET_6M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65035, {0, 0, 0, 0}, "Tset_6M"},
    {"TSET_12M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..255", 65036, {0, 0, 0, 0}, "Tset_12M"},
    {"TSDI_9.6", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65037, {0, 0, 0, 0}, "Tsdi_9.6"},
    {"TSDI_19.2", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65038, {0, 0, 0, 0}, "Tsdi_19.2"},
    {"TSDI_31.25", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65119, {0, 0, 0, 0}, "Tsdi_31.25"},
    {"TSDI_45.45", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65120, {0, 0, 0, 0}, "Tsdi_45.45"},
    {"TSDI_93.75", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65039, {0, 0, 0, 0}, "Tsdi_93.75"},
    {"TSDI_187.5", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65040, {0, 0, 0, 0}, "Tsdi_187.5"},
    {"TSDI_500", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65041, {0, 0, 0, 0}, "Tsdi_500"},
    {"TSDI_1.5M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65042, {0, 0, 0, 0}, "Tsdi_1.5M"},
    {"TSDI_3M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65043, {0, 0, 0, 0}, "Tsdi_3M"},
    {"TSDI_6M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65044, {0, 0, 0, 0}, "Tsdi_6M"},
    {"TSDI_12M", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 1..65535", 65045, {0, 0, 0, 0}, "Tsdi_12M"},
    {"LAS_LEN", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, nullptr, 65046, {0, 0, 0, 0}, "LAS_Len"},
    {"MAX_SLAVES_SUPP", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..125", 65047, {0, 0, 0, 0}, "Max_Slaves_supp"},
    {"MAX_MASTER_INPUT_LEN", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..244", 65048, {0, 0, 0, 0}, "Max_Master_Input_Len"},
    {"MAX_MASTER_OUTPUT_LEN", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N8, "UCHAR: 1..244", 65049, {0, 0, 0, 0}, "Max_Master_Output_Len"},
    {"MAX_MASTER_DATA_LEN", PARENT_MASTER, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, "USHORT: 0..488", 65050, {0, 0, 0, 0}, "Max_Master_Data_Len"},
    {"UNIT_DIAG_AREA", PARENT_SLAVE, TYPE_SIMPLE_STRING, 10, ESplit::H, ECheck::DIAGAREA, nullptr, 65065, {0, 0, 0, 0}, "Unit_Diag_Area"},
    {"UNIT_DIAG_AREA_END", PARENT_MODULE, TYPE_SIMPLE_STRING, 7, ESplit::None, ECheck::END, nullptr, 65067, {0, 0, 0, 0}, "Unit_Diag_Area_End"},
    {"EXT_USER_PRM_DATA_REF", GROUP_MODULE_OR_SLAVE, TYPE_SIMPLE_STRING, 10, ESplit::X, ECheck::PRMREF, nullptr, 65078, {0, 0, 0, 0}, "Ext_User_Prm_Data_Ref"},
    {"VALUE", PARENT_MODULE, TYPE_SIMPLE_STRING, 11, ESplit::X, ECheck::NUMTEXT, nullptr, 65068, {0, 0, 0, 0}, "Value"},
    {"ENDMODULE", PARENT_MODULE, TYPE_SIMPLE_STRING, 7, ESplit::None, ECheck::END, nullptr, 65069, {0, 0, 0, 0}, "EndModule"},
    {"EXT_USER_PRM_DATA_CONST", GROUP_MODULE_OR_SLAVE, TYPE_OCTET_STRING, 11, ESplit::X, ECheck::PRMCONST, nullptr, 65079, {0, 0, 0, 0}, "Ext_User_Prm_Data_Const"},
    {"EXTUSERPRMDATA", PARENT_SLAVE, TYPE_SIMPLE_STRING, 11, ESplit::W1, ECheck::NUMTEXT, nullptr, 65080, {0, 0, 0, 0}, "ExtUserPrmData"},
    {"ENDEXTUSERPRMDATA", PARENT_MODULE, TYPE_SIMPLE_STRING, 7, ESplit::None, ECheck::END, nullptr, 65081, {0, 0, 0, 0}, "EndExtUserPrmData"},
    {"PRM_TEXT_REF", PARENT_MODULE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, nullptr, 65082, {0, 0, 0, 0}, "Prm_Text_Ref"},
    {"PRMTEXT", PARENT_SLAVE, TYPE_SIMPLE_UINT, 2, ESplit::V, ECheck::N16, nullptr, 65083, {0, 0, 0, 0}, "PrmText"},
    {"ENDPRMTEXT", PARENT_MODULE, TYPE_SIMPLE_STRING, 7, ESplit::None, ECheck::END, nullptr, 65084, {0, 0, 0, 0}, "EndPrmText"},
    {"TEXT", PARENT_MODULE, TYPE_SIMPLE_STRING, 11, ESplit::X, ECheck::NUMTEXT32, nullptr, 65085, {0, 0, 0, 0}, "Text"},
    {"UNSIGNED32", PARENT_MODULE, TYPE_SIMPLE_STRING, 9, ESplit::W, ECheck::DTYPE, nullptr, 65098, {65091, 65092, 65096, 0}, "Data_Type_Name"},
    {"UNSIGNED16", PARENT_MODULE, TYPE_SIMPLE_STRING, 9, ESplit::W, ECheck::DTYPE, nullptr, 65098, {65091, 65092, 65096, 0}, "Data_Type_Name"},
    {"UNSIGNED8", PARENT_MODULE, TYPE_SIMPLE_STRING, 9, ESplit::W, ECheck::DTYPE, nullptr, 65098, {65091, 65092, 65096, 0}, "Data_Type_Name"},
    {"SIGNED32", PARENT_MODULE, TYPE_SIMPLE_STRING, 9, ESplit::W, ECheck::DTYPE, nullptr, 65098, {65091, 65092, 65096, 0}, "Data_Type_Name"},
    {"SIGNED16", PARENT_MODULE, TYPE_SIMPLE_STRING, 9, ESplit::W, ECheck::DTYPE, nullptr, 65098, {65091, 65092, 65096, 0}, "Data_Type_Name"},
    {"SIGNED8", PARENT_MODULE, TYPE_SIMPLE_STRING, 9, ESplit::W, ECheck::DTYPE, nullptr, 65098, {65091, 65092, 65096, 0}, "Data_Type_Name"},
    {"BIT", PARENT_MODULE, TYPE_SIMPLE_STRING, 8, ESplit::W, ECheck::BITDEF, nullptr, 65098, {65090, 65091, 65092, 65096}, "Data_Type_Name"},
    {"BITAREA", PARENT_MODULE, TYPE_SIMPLE_STRING, 8, ESplit::W, ECheck::AREADEF, nullptr, 65098, {65090, 65091, 65092, 65096}, "Data_Type_Name"},
    {"Module_Reference", GROUP_UNCHANGED, TYPE_UNCHANGED, 2, ESplit::None, ECheck::MODREF, nullptr, 65070, {0, 0, 0, 0}, nullptr},
};

static_assert(sizeof kRows / sizeof kRows[0] == KeywordCatalogue::ROW_COUNT);

using CIndex = std::unordered_map<std::string_view, const SCatalogueRow*, CNoCaseHash, CNoCaseEqual>;

const CIndex& Index() {
    static const auto index = [] {
        CIndex map;
        for (const SCatalogueRow& row : kRows) map.emplace(row.m_pszKeyword, &row);
        return map;
    }();
    return index;
}

}  // namespace

std::string SCatalogueRow::HelpLink() const {
    const char* page = m_nGroup == PARENT_GENERAL  ? "glossary_keys_general.htm"
                       : m_nGroup == PARENT_MASTER ? "glossary_keys_master.htm"
                                                   : "glossary_keys_slave.htm";
    return std::string(page) + "#" + (m_pszAnchor ? m_pszAnchor : m_pszKeyword);
}

const SCatalogueRow* KeywordCatalogue::Find(std::string_view keyword) {
    if (keyword.size() > 32) return nullptr;
    const auto& index = Index();
    const auto it = index.find(keyword);
    return it == index.end() ? nullptr : it->second;
}

const SCatalogueRow& KeywordCatalogue::Row(int index) { return kRows[index]; }
