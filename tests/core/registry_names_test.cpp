// Value names: the quick comparison agrees with folding the names, and a file whose key has
// several sections and repeated names reads as before, the later line winning.
#include "platform/registry/registry_hive_format.h"

#include <gtest/gtest.h>

using win::FoldName;
using win::NamesEqual;

TEST(RegistryNames, TheQuickComparisonAgreesWithFolding) {
    const char* names[] = {"Spiegeln",  "SPIEGELN", "spiegelN", "Spiegel", "Übernahme", "übernahme",
                           "ÜBERNAHME", "\xC3\x97", "\xC3\xB7", "a\xC3",   "A\xC3",     "Ärger",
                           "ärger",     "\xC3\x9E", "\xC3\xBE", "",        "@"};
    for (const char* a : names)
        for (const char* b : names)
            EXPECT_EQ(NamesEqual(a, b), FoldName(a) == FoldName(b)) << a << " / " << b;
}

TEST(RegistryNames, RepeatedNamesAcrossSectionsKeepTheLastLine) {
    const win::ParsedHive parsed = win::ParseHive("[HKEY_CURRENT_USER\\Software\\G]\n"
                                                  "\"Regel\"=\"1\"\n"
                                                  "\"Andere\"=\"2\"\n"
                                                  "[HKEY_CURRENT_USER\\Software\\H]\n"
                                                  "\"Regel\"=\"3\"\n"
                                                  "[HKEY_CURRENT_USER\\Software\\G]\n"
                                                  "\"REGEL\"=\"4\"\n");
    ASSERT_FALSE(parsed.damaged);
    const win::HiveKey* g = parsed.data.findKey("HKEY_CURRENT_USER\\Software\\G");
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->values.size(), 2u);
    EXPECT_EQ(g->values[0].name, "REGEL"); // in its first place, spelled as last written
    EXPECT_EQ(g->values[0].data, std::string("4") + '\0');
    EXPECT_EQ(g->findValue("andere")->data, std::string("2") + '\0');
    EXPECT_EQ(parsed.data.findKey("HKEY_CURRENT_USER\\Software\\H")->values.size(), 1u);
}
