// Rules of the semantic check that judge values against each other: bus timing
// against baud rates, user-parameter lengths and offsets, numbered definitions
// and their references, diagnosis bits and areas, modules.

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "check/semantic_state.h"

namespace semantic {

namespace {

constexpr std::uint32_t REFERENCE_MARKER = 0xFFu << 24;

std::uint32_t Packed(std::uint32_t offset, std::uint32_t mask, bool reference) {
    return (offset & 0xFFFFu) | ((mask & 0xFFu) << 16) | (reference ? REFERENCE_MARKER : 0u);
}

}  // namespace

size_t COffsetSet::Remove(std::uint32_t first, std::uint32_t last, std::uint32_t& lastRemoved) {
    if (first <= last) return RemoveInOrder(first, last, lastRemoved);
    const size_t high = RemoveInOrder(first, UINT32_MAX, lastRemoved);
    return high + RemoveInOrder(0, last, lastRemoved);
}

size_t COffsetSet::RemoveInOrder(std::uint32_t first, std::uint32_t last, std::uint32_t& lastRemoved) {
    size_t removed = 0;
    // The first run that reaches first..last.
    auto it = m_Runs.upper_bound(first);
    if (it != m_Runs.begin() && std::prev(it)->second.m_nLast >= first) --it;
    while (it != m_Runs.end() && it->first <= last) {
        const std::uint32_t runFirst = it->first;
        const SRun run = it->second;
        const std::uint32_t from = std::max(runFirst, first);
        const std::uint32_t to = std::min(run.m_nLast, last);
        removed += size_t{to - from} + 1;
        lastRemoved = Packed(to, run.m_nMask, run.m_bReference);
        // One node is kept for the Take that follows, so that freeing a range
        // and taking it again allocate nothing.
        const auto next = std::next(it);
        if (m_Spare.empty())
            m_Spare = m_Runs.extract(it);
        else
            m_Runs.erase(it);
        it = next;
        // The parts of the run outside first..last stay taken.
        if (runFirst < from) m_Runs.emplace(runFirst, SRun{from - 1, run.m_nMask, run.m_bReference});
        if (run.m_nLast > to) m_Runs.emplace(to + 1, SRun{run.m_nLast, run.m_nMask, run.m_bReference});
    }
    // Where first..last goes: before the first run above it.
    m_Hint = it;
    return removed;
}

void COffsetSet::Take(std::uint32_t first, std::uint32_t last, std::uint32_t mask, bool reference) {
    const auto hint = m_Hint;
    m_Hint = m_Runs.end();
    if (first <= last) {
        if (m_Spare.empty()) {
            m_Runs.emplace_hint(hint, first, SRun{last, mask, reference});
            return;
        }
        m_Spare.key() = first;
        m_Spare.mapped() = SRun{last, mask, reference};
        m_Runs.insert(hint, std::move(m_Spare));
        return;
    }
    m_Runs.emplace(first, SRun{UINT32_MAX, mask, reference});
    m_Runs.emplace(0, SRun{last, mask, reference});
}

void CSemanticState::BaudRateSupport(const CKeyEntry&, int rate) {
    if (m_BaudRates[static_cast<size_t>(rate)] == 0) return;
    if (!Counted(KW_MAXTSDR_FIRST + rate)) Report(64601);
    if (m_nStationType != 1) return;
    if (!Counted(KW_TRDY_FIRST + rate)) Report(64602);
    if (!Counted(KW_TQUI_FIRST + rate)) Report(64603);
    if (!Counted(KW_TSET_FIRST + rate)) Report(64604);
    if (!Counted(KW_TSDI_FIRST + rate)) Report(64605);
}

void CSemanticState::UserPrmDataLength(const CKeyEntry& entry) {
    if (!Counted(KW_USER_PRM_DATA_LEN))
        Report(64608, {m_Keyword});
    else if (entry.m_nValues != m_nUserPrmDataLen)
        Report(64609);
}

void CSemanticState::UserPrmDataVersusExt() {
    if (Counted(KW_EXT_USER_PRM_DATA_CONST))
        Report(64623, {"Ext_User_Prm_Data_Const"});
    else if (Counted(KW_EXT_USER_PRM_DATA_REF))
        Report(64623, {"Ext_User_Prm_Data_Ref"});
}

void CSemanticState::ExtModulePrmDataLen(std::int32_t length) {
    if (length <= 0) return;
    const auto v = static_cast<std::uint32_t>(length);
    if (!Counted(KW_MAX_USER_PRM_DATA_LEN)) {
        Report(64619);
        if (Counted(KW_USER_PRM_DATA_LEN)) {
            if (static_cast<std::uint32_t>(m_nUserPrmDataLen) < v) Report(64645, {m_Keyword});
        } else {
            Report(64646, {m_Keyword});
        }
    } else if (static_cast<std::uint32_t>(m_nMaxUserPrmDataLen) < v) {
        Report(64620);
    }
}

void CSemanticState::ModuleParameterLength() {
    if (!Counted(KW_EXT_MODULE_PRM_DATA_LEN) || m_nUsedModuleLength == m_nDeclaredModuleLength) return;
    // Parameters that leave declared bytes unused are a warning; the catalogue's
    // error is for parameters that reach past the declared length.
    ReportAs(m_nUsedModuleLength < m_nDeclaredModuleLength ? CheckMessageKind::Warning : KindOf(64644), 64644, {});
}

void CSemanticState::ConstantRule(std::uint32_t offset, std::uint32_t count, bool inModule) {
    const std::uint32_t end = offset + count - 1;
    const bool firstOfFile = Counter(KW_EXT_USER_PRM_DATA_CONST) < 2;
    if (Counted(KW_MAX_USER_PRM_DATA_LEN)) {
        if (end >= static_cast<std::uint32_t>(m_nMaxUserPrmDataLen)) Report(64625);
    } else if (Counted(KW_USER_PRM_DATA_LEN)) {
        if (firstOfFile) Report(64624, {m_Keyword});
        if (end >= static_cast<std::uint32_t>(m_nUserPrmDataLen)) Report(64645, {m_Keyword});
    } else if (firstOfFile) {
        Report(64646, {m_Keyword});
    }
    if (inModule && m_nUsedModuleLength < end + 1) m_nUsedModuleLength = end + 1;
    COffsetSet& set = OffsetSet(inModule);
    if (end < offset) return;  // no values: nothing occupied
    std::uint32_t lastRemoved = 0;
    if (set.Remove(offset, end, lastRemoved) > 0) Report(64627, {lastRemoved & 0xFFFFu});
    set.Take(offset, end, 0, false);
}

void CSemanticState::ReferenceRule(std::uint32_t offset, std::int32_t reference, bool inModule) {
    std::uint32_t end = offset;
    std::uint32_t mask = 0;
    if (CExtUserPrmDataRecord* found = m_ExtUserPrmDataByNumber.Find(reference)) {
        CExtUserPrmDataRecord& record = *found;
        end = offset + record.m_nSize - 1;
        mask = record.m_nBitMask;
        record.m_bReferenced = 1;
    } else {
        Report(64628, {reference});
    }
    if (inModule && m_nUsedModuleLength < end + 1) m_nUsedModuleLength = end + 1;
    COffsetSet& set = OffsetSet(inModule);
    const bool firstOfFile = Counter(KW_EXT_USER_PRM_DATA_REF) < 2;
    if (Counted(KW_MAX_USER_PRM_DATA_LEN)) {
        if (end >= static_cast<std::uint32_t>(m_nMaxUserPrmDataLen)) Report(64625);
        std::uint32_t lastRemoved = 0;
        const size_t removed = set.Remove(offset, end, lastRemoved);
        const std::uint32_t lastMask = (lastRemoved >> 16) & 0xFFu;
        if (removed > 0 && (lastRemoved & REFERENCE_MARKER) == REFERENCE_MARKER && (lastMask & mask) != 0)
            Report(64627, {lastRemoved & 0xFFFFu});
        const std::uint32_t combined = (removed > 0 ? lastMask : 0u) | mask;
        set.Take(offset, end, combined, true);
    } else if (Counted(KW_USER_PRM_DATA_LEN)) {
        if (firstOfFile) Report(64624, {m_Keyword});
        if (end >= static_cast<std::uint32_t>(m_nUserPrmDataLen)) Report(64645, {m_Keyword});
    } else if (firstOfFile) {
        Report(64646, {m_Keyword});
    }
}

void CSemanticState::ExtUserPrmDataOpening(std::int32_t reference) {
    for (int k : {KW_UNSIGNED32, KW_UNSIGNED16, KW_UNSIGNED8, KW_SIGNED32, KW_SIGNED16, KW_SIGNED8, KW_BIT, KW_BITAREA,
                  KW_PRM_TEXT_REF})
        Counter(k) = 0;
    m_OpenExtUserPrmData.reset();
    if (m_ExtUserPrmDataByNumber.Find(reference) != nullptr) {
        Report(64629, {reference, reference});
        return;
    }
    m_OpenExtUserPrmData.emplace().m_nReference = reference;
}

void CSemanticState::ExtUserPrmDataClosing() {
    if (m_OpenExtUserPrmData->m_nSize == 0) {
        Report(64215, {"Data_Type_Name", "Data_Type_Name"});
        return;
    }
    CExtUserPrmDataRecord& record = m_ExtUserPrmData.emplace_back(*m_OpenExtUserPrmData);
    m_OpenExtUserPrmData.reset();
    m_ExtUserPrmDataByNumber.Add(record.m_nReference, &record);
}

void CSemanticState::UnreferencedExtUserPrmData(std::int32_t reference) {
    const CExtUserPrmDataRecord* found = m_ExtUserPrmDataByNumber.Find(reference);
    if (found != nullptr && found->m_bReferenced == 0) Report(64630, {reference});
}

void CSemanticState::PrmTextOpening(std::int32_t reference) {
    Counter(KW_TEXT) = 0;
    m_OpenPrmText.reset();
    if (m_PrmTextByNumber.Find(reference) != nullptr) {
        Report(64640, {reference, reference});
        return;
    }
    m_OpenPrmText.emplace().m_nReference = reference;
}

void CSemanticState::PrmTextClosing() {
    if (!Counted(KW_TEXT)) {
        Report(64214, {"Text", "Text"});
        return;
    }
    CPrmTextRecord& record = m_PrmTexts.emplace_back(std::move(*m_OpenPrmText));
    m_OpenPrmText.reset();
    m_PrmTextByNumber.Add(record.m_nReference, &record);
}

void CSemanticState::PrmTextReference(std::int32_t reference) {
    if (CPrmTextRecord* found = m_PrmTextByNumber.Find(reference))
        found->m_bReferenced = 1;
    else
        Report(64639, {reference});
}

void CSemanticState::UnreferencedPrmText(std::int32_t reference) {
    const CPrmTextRecord* found = m_PrmTextByNumber.Find(reference);
    if (found != nullptr && found->m_bReferenced == 0) Report(64641, {reference});
}

void CSemanticState::TextValue(std::uint32_t value) {
    if (!m_OpenPrmText->m_TextValues.Insert(value)) Report(64642);
}

void CSemanticState::DiagnosticBits(std::uint32_t first, std::uint32_t last) {
    if (last < first) return;
    const auto begin = m_DiagBits.lower_bound(first);
    const auto end = m_DiagBits.upper_bound(last);
    if (begin != end) {
        m_DiagBits.erase(begin, end);
        Report(64612);
    }
    for (std::uint32_t bit = first;; ++bit) {
        m_DiagBits.insert(bit);
        if (bit == last) break;
    }
}

void CSemanticState::DiagnosticPosition(std::uint32_t position) {
    if (!Counted(KW_MAX_DIAG_DATA_LEN)) {
        Report(64610, {m_Keyword});
        return;
    }
    const auto length = static_cast<std::uint32_t>(m_nMaxDiagDataLen);
    if (!(length >= 7 && position < 8 * length - 56)) Report(64611, {m_Keyword});
}

void CSemanticState::AreaValue(std::uint32_t value) {
    if (value >= m_nAreaLimit)
        Report(64613, {value});
    else if (!m_AreaValues.insert(value).second)
        Report(64614);
}

void CSemanticState::ModuleReference(std::uint32_t number) {
    if (!m_ModuleReferences.insert(number).second) Report(64618, {number, number});
}

void CSemanticState::ChannelDiag(std::uint32_t number) {
    if (!m_ChannelDiags.insert(number).second) Report(64621);
}

}  // namespace semantic
