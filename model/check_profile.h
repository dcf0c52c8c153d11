#pragma once
// The check profiles: the written revision 2 rules (the default everywhere), and
// revision 5, which adds the keywords, blocks and value forms of GSD revisions
// 3 to 5.

enum class ECheckProfile : unsigned char { Classic, Rev5 };

// "classic" or "rev5".
constexpr const char* ProfileName(ECheckProfile profile) {
    return profile == ECheckProfile::Rev5 ? "rev5" : "classic";
}

// The profile a file's declared GSD_Revision asks for: revision 5 from
// revision 3 on, else the written rules.
constexpr ECheckProfile ProfileForRevision(long revision) {
    return revision >= 3 ? ECheckProfile::Rev5 : ECheckProfile::Classic;
}
