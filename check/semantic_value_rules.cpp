// Rules of the semantic check that judge values against each other: bus timing
// against baud rates, user-parameter lengths and offsets, numbered definitions
// and their references, diagnosis bits and areas, modules.

#include <algorithm>
#include <cstdint>

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
    m_nHint = NO_HINT;
    const size_t high = RemoveInOrder(first, UINT32_MAX, lastRemoved);
    const size_t low = RemoveInOrder(0, last, lastRemoved);
    m_nHint = NO_HINT;
    return high + low;
}

size_t COffsetSet::RemoveInOrder(std::uint32_t first, std::uint32_t last, std::uint32_t& lastRemoved) {
    // The runs that reach first..last: from the first that ends at or after
    // `first` up to the first that starts after `last`.
    const auto begin =
        std::partition_point(m_Runs.begin(), m_Runs.end(), [first](const SRun& run) { return run.m_nLast < first; });
    auto end = begin;
    size_t removed = 0;
    for (; end != m_Runs.end() && end->m_nFirst <= last; ++end) {
        const std::uint32_t to = std::min(end->m_nLast, last);
        removed += size_t{to - std::max(end->m_nFirst, first)} + 1;
        lastRemoved = Packed(to, end->m_nMask, end->m_bReference);
    }
    const auto at = static_cast<size_t>(begin - m_Runs.begin());
    m_nHint = at;
    if (begin == end) return 0;
    // The parts of the first and the last run outside first..last stay taken.
    SRun pieces[2];
    size_t count = 0;
    if (begin->m_nFirst < first) {
        pieces[count++] = SRun{begin->m_nFirst, first - 1, begin->m_nMask, begin->m_bReference};
        ++m_nHint;
    }
    const SRun& lastRun = *(end - 1);
    if (lastRun.m_nLast > last)
        pieces[count++] = SRun{last + 1, lastRun.m_nLast, lastRun.m_nMask, lastRun.m_bReference};
    const auto reached = static_cast<size_t>(end - begin);
    if (count > reached) {
        // One run split in two around first..last.
        m_Runs[at] = pieces[0];
        m_Runs.insert(m_Runs.begin() + static_cast<std::ptrdiff_t>(at + 1), pieces[1]);
    } else {
        std::copy(pieces, pieces + count, begin);
        m_Runs.erase(begin + static_cast<std::ptrdiff_t>(count), end);
    }
    return removed;
}

void COffsetSet::Add(const SRun& run) {
    // The place Remove left for the range, when it is still the place.
    size_t at = m_nHint;
    const bool hinted = at <= m_Runs.size() && (at == 0 || m_Runs[at - 1].m_nLast < run.m_nFirst) &&
                        (at == m_Runs.size() || m_Runs[at].m_nFirst > run.m_nLast);
    if (!hinted) {
        const auto place = std::partition_point(m_Runs.begin(), m_Runs.end(),
                                                [&run](const SRun& other) { return other.m_nFirst < run.m_nFirst; });
        if (place != m_Runs.end() && place->m_nFirst == run.m_nFirst) return;
        at = static_cast<size_t>(place - m_Runs.begin());
    }
    m_Runs.insert(m_Runs.begin() + static_cast<std::ptrdiff_t>(at), run);
}

void COffsetSet::Take(std::uint32_t first, std::uint32_t last, std::uint32_t mask, bool reference) {
    if (first <= last) {
        Add(SRun{first, last, mask, reference});
    } else {
        Add(SRun{first, UINT32_MAX, mask, reference});
        m_nHint = NO_HINT;
        Add(SRun{0, last, mask, reference});
    }
    m_nHint = NO_HINT;
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
    // The bits of the area are taken; one finding when any was taken before.
    bool taken = false;
    for (std::uint32_t bit = first;; ++bit) {
        if (!m_DiagBits.Insert(bit)) taken = true;
        if (bit == last) break;
    }
    if (taken) Report(64612);
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
    else if (!m_AreaValues.Insert(value))
        Report(64614);
}

void CSemanticState::ModuleReference(std::uint32_t number) {
    if (!m_ModuleReferences.Insert(number)) Report(64618, {number, number});
}

void CSemanticState::ChannelDiag(std::uint32_t number) {
    if (!m_ChannelDiags.Insert(number)) Report(64621);
}

}  // namespace semantic
