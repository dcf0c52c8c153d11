#include "model/gsd_tokenizer.h"

#include <string>
#include <unordered_set>

#include "base/text_util.h"

namespace {

constexpr const char* kKeywords =
    " GSD_Revision Vendor_Name Model_Name Revision Revision_Number Ident_Number Protocol_Ident Station_Type"
    " FMS_supp Hardware_Release Software_Release 9.6_supp 19.2_supp 93.75_supp 187.5_supp 500_supp 31.25_supp"
    " 45.45_supp 1.5M_supp 3M_supp 6M_supp 12M_supp MaxTsdr_9.6 MaxTsdr_19.2 MaxTsdr_31.25 MaxTsdr_45.45"
    " MaxTsdr_93.75 MaxTsdr_187.5 MaxTsdr_500 MaxTsdr_1.5M MaxTsdr_3M MaxTsdr_6M MaxTsdr_12M Redundancy"
    " Repeater_Ctrl_Sig 24V_Pins Implementation_Type Bitmap_Device Bitmap_Diag Bitmap_SF Freeze_Mode_supp"
    " Sync_Mode_supp Auto_Baud_supp Set_Slave_Add_supp User_Prm_Data_Len User_Prm_Data Min_Slave_Intervall"
    " Modular_Station Max_Module Max_Input_Len Max_Output_Len Max_Data_Len Unit_Diag_Bit Ext_Module_Prm_Data_Len"
    " Channel_Diag Fail_Safe Max_Diag_Data_Len Modul_Offset Slave_Family Max_User_Prm_Data_Len"
    " Ext_User_Prm_Data_Ref Ext_User_Prm_Data_Const ExtUserPrmData PrmText Text Value Unit_Diag_Area Module"
    " EndModule Download_supp Upload_supp Act_Para_Brct_supp Act_Param_supp Reference_Offset Max_Mps_Length"
    " Max_Lsdu_Mm Max_Lsdu_Ms Min_Poll_Timeout Trdy_9.6 Trdy_19.2 Trdy_31.25 Trdy_45.45 Trdy_93.75 Trdy_187.5"
    " Trdy_500 Trdy_1.5M Trdy_3M Trdy_6M Trdy_12M Tqui_9.6 Tqui_19.2 Tqui_31.25 Tqui_45.45 Tqui_93.75"
    " Tqui_187.5 Tqui_500 Tqui_1.5M Tqui_3M Tqui_6M Tqui_12M Tset_9.6 Tset_19.2 Tset_31.25 Tset_45.45"
    " Tset_93.75 Tset_187.5 Tset_500 Tset_1.5M Tset_3M Tset_6M Tset_12M Tsdi_9.6 Tsdi_19.2 Tsdi_31.25"
    " Tsdi_45.45 Tsdi_93.75 Tsdi_187.5 Tsdi_500 Tsdi_1.5M Tsdi_3M Tsdi_6M Tsdi_12M Las_Len Max_Slaves_Supp"
    " Max_Master_Input_Len Max_Master_Output_Len Max_Master_Data_Len Unit_Diag_Area_End EndPrmText"
    " EndExtUserPrmData Prm_Text_Ref ";

constexpr const char* kTypeWords =
    " #Profibus_DP Unsigned8 Unsigned16 Unsigned32 Boolean Bit BitArea Signed8 Signed16 Signed32 ";

constexpr char kCommentChar = ';';
constexpr char kStringDelimiter = '"';

std::unordered_set<std::string> LowerWords(const char* list) {
    std::unordered_set<std::string> words;
    std::string word;
    for (const char* p = list;; ++p) {
        if (*p == ' ' || *p == '\0') {
            if (!word.empty()) words.insert(ToLower(word));
            word.clear();
            if (*p == '\0') break;
        } else {
            word += *p;
        }
    }
    return words;
}

bool IsWordChar(char c) {
    return IsAlnumByte(c) || c == '#' || c == '_' || c == '.';
}

}  // namespace

const char* GsdKeywordList() {
    return kKeywords;
}
const char* GsdTypeWordList() {
    return kTypeWords;
}

ETokenClass ClassifyGsdWord(std::string_view word) {
    static const auto keywords = LowerWords(kKeywords);
    static const auto typeWords = LowerWords(kTypeWords);
    // No listed word is longer than this; longer words need no lookup.
    if (word.empty() || word.size() > 24) return ETokenClass::Plain;
    const std::string lower = ToLower(word);
    if (keywords.count(lower)) return ETokenClass::Keyword;
    if (typeWords.count(lower)) return ETokenClass::TypeWord;
    return ETokenClass::Plain;
}

std::vector<SToken> TokenizeGsdLine(std::string_view line, bool (*isMoreKeyword)(std::string_view)) {
    std::vector<SToken> tokens;
    const int size = static_cast<int>(line.size());
    int i = 0;
    while (i < size) {
        const char c = line[static_cast<size_t>(i)];
        if (c == kCommentChar) {
            tokens.push_back({i, size - i, ETokenClass::Comment});
            break;
        }
        if (c == kStringDelimiter) {
            const size_t close = line.find(kStringDelimiter, static_cast<size_t>(i) + 1);
            const int end = close == std::string_view::npos ? size : static_cast<int>(close) + 1;
            tokens.push_back({i, end - i, ETokenClass::String});
            i = end;
            continue;
        }
        if (IsWordChar(c)) {
            int end = i + 1;
            while (end < size && IsWordChar(line[static_cast<size_t>(end)])) ++end;
            const std::string_view word = line.substr(static_cast<size_t>(i), static_cast<size_t>(end - i));
            ETokenClass kind = ClassifyGsdWord(word);
            if (kind == ETokenClass::Plain && isMoreKeyword != nullptr && isMoreKeyword(word))
                kind = ETokenClass::Keyword;
            if (kind != ETokenClass::Plain) tokens.push_back({i, end - i, kind});
            i = end;
            continue;
        }
        ++i;
    }
    return tokens;
}
