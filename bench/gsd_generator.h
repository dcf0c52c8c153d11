#pragma once
// Generated GSD texts of a given size for benchmarks: a modular slave with
// PrmText and ExtUserPrmData definitions, modules with parameter references,
// and diagnosis bits, repeated until the text reaches the size asked for.

#include <string>

inline std::string GenerateGsd(size_t targetBytes) {
    std::string text =
        "#Profibus_DP\r\nGSD_Revision = 2\r\nVendor_Name = \"Bench\"\r\nModel_Name = \"Generated\"\r\n"
        "Revision = \"1\"\r\nIdent_Number = 0x1234\r\nProtocol_Ident = 0\r\nStation_Type = 0\r\n"
        "Hardware_Release = \"1\"\r\nSoftware_Release = \"1\"\r\n12M_supp = 1\r\nMaxTsdr_12M = 800\r\n"
        "Min_Slave_Intervall = 1\r\nModular_Station = 1\r\nMax_Module = 244\r\nMax_Input_Len = 244\r\n"
        "Max_Output_Len = 244\r\nMax_Data_Len = 488\r\nMax_Diag_Data_Len = 244\r\nSlave_Family = 3@Bench\r\n"
        "Max_User_Prm_Data_Len = 237\r\n";
    text.reserve(targetBytes + 4096);
    for (int n = 1; text.size() < targetBytes; ++n) {
        const std::string id = std::to_string(n);
        text += "; ---- block " + id + " ----\r\n";
        text += "PrmText = " + id + "\r\nText(0) = \"Off\"\r\nText(1) = \"On\"\r\nEndPrmText\r\n";
        text += "ExtUserPrmData = " + id + " \"Parameter " + id + "\"\r\nBit(" + std::to_string(n % 8) +
                ") 0 0-1\r\nPrm_Text_Ref = " + id + "\r\nEndExtUserPrmData\r\n";
        text += "Module = \"Module " + id + "\" 0x13,0x23,0x40,0x83,0x01\r\n" + id +
                "\r\nExt_Module_Prm_Data_Len = 2\r\nExt_User_Prm_Data_Const(0) = 0x00,\\\r\n    0x00\r\n"
                "Ext_User_Prm_Data_Ref(1) = " +
                id + "\r\nChannel_Diag(16) = \"Wire break\"\r\nEndModule\r\n";
        text += "Unit_Diag_Bit(" + std::to_string(n % 400) + ") = \"Diagnosis " + id + "\"\r\n";
    }
    return text;
}
