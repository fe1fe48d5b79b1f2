// The configuration image and its texts: capacities, bytes kept unchanged, the empty state, copy,
// clear and comparison.

#include "stav/promenne.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace {

bool AllBytesZero(const TNORLINK& rec) {
    static const TNORLINK zero{};
    static_assert(sizeof zero == 37280);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&rec);
    for (std::size_t i = 0; i < sizeof rec; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

bool SameBytes(const TNORLINK& a, const TNORLINK& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// An image with something different in every element.
TNORLINK Filled() {
    TNORLINK rec{};
    for (std::size_t k = 0; k < k_NORLINKMaxPocetCisel; ++k) {
        rec.TelCisla[k] = "6020000" + std::to_string(10 + k);
    }
    for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
        for (std::size_t s = 0; s < 16; ++s) {
            rec.TelCislaPoruchaKom[e][s] = static_cast<std::uint8_t>(s);
            rec.TelCislaObnovaKom[e][s] = static_cast<std::uint8_t>(15 - s);
        }
        rec.ZpravaPorucha[e] = "Porucha " + std::to_string(e);
        rec.ZpravaObnova[e] = "Obnova " + std::to_string(e);
        for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
            for (std::size_t s = 0; s < 16; ++s) {
                rec.TelCislaSepnuti[e][v][s] = static_cast<std::uint8_t>((e + v + s) % 16);
                rec.TelCislaRozpojeni[e][v][s] = static_cast<std::uint8_t>((e * v + s) % 16);
            }
            rec.ZpravaSepnuti[e][v] = "Sepnuti " + std::to_string(e * 8 + v);
            rec.ZpravaRozpojeni[e][v] = "Rozpojeni " + std::to_string(e * 8 + v);
        }
    }
    return rec;
}

} // namespace

TEST(PromenneText, KeepsTheFirstCapacityCharacters) {
    const std::string long300(300, 'x');
    TZprava zprava(long300);
    EXPECT_EQ(zprava.size(), 240u);
    EXPECT_EQ(zprava.View(), std::string(240, 'x'));

    TTelCislo cislo;
    cislo = "12345678901234567890";
    EXPECT_EQ(cislo.Str(), "1234567890123456");

    // A text of 200 characters (longer than one SMS) stays whole.
    std::string text200;
    for (int i = 0; i < 200; ++i) {
        text200 += static_cast<char>('a' + i % 26);
    }
    zprava = text200;
    EXPECT_EQ(zprava.Str(), text200);
    EXPECT_EQ(TZprava(std::string(240, 'y')).Str(), std::string(240, 'y'));
    EXPECT_EQ(TZprava(std::string(241, 'y')).Str(), std::string(240, 'y'));
}

TEST(PromenneText, HoldsEveryByteUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    for (std::size_t start = 0; start < all.size(); start += 16) {
        const std::string chunk = all.substr(start, 16);
        const TTelCislo cislo(chunk);
        EXPECT_EQ(cislo.Str(), chunk);
        ASSERT_EQ(cislo.Bytes().size(), 16u);
        for (std::size_t i = 0; i < 16; ++i) {
            EXPECT_EQ(cislo.Bytes()[i], start + i);
        }
    }
    const TZprava zprava(all.substr(1, 240));
    EXPECT_EQ(zprava.Str(), all.substr(1, 240));
    EXPECT_EQ(zprava[0], '\x01');
    EXPECT_EQ(static_cast<unsigned char>(zprava[239]), 240u);
}

TEST(PromenneText, AppendStopsAtTheCapacity) {
    TTelCislo cislo("1234");
    cislo.Append("5678");
    EXPECT_EQ(cislo, "12345678");
    cislo.Append("ABCDEFGHIJ");
    EXPECT_EQ(cislo, "12345678ABCDEFGH");
    cislo.Append("more");
    EXPECT_EQ(cislo.size(), 16u);
    cislo.Clear();
    EXPECT_TRUE(cislo.empty());
    EXPECT_EQ(cislo, TTelCislo());
}

TEST(PromenneText, ShorteningLeavesNoStaleBytes) {
    TZprava a("ABCDEFGHIJ");
    a = "AB";
    const TZprava b("AB");
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_NE(a, TZprava("ABC"));
    EXPECT_NE(a, TZprava("AC"));
    EXPECT_NE(a, TZprava(""));
    EXPECT_TRUE(a == std::string("AB"));
    EXPECT_FALSE(a == "A");
}

TEST(PromenneImage, InitialisationEmptiesNumbersSlotsAndInputTextsOnly) {
    TNORLINK rec = Filled();
    InicializujNORLINKRec(rec);
    const TNORLINK filled = Filled();
    for (const auto& cislo : rec.TelCisla) {
        EXPECT_TRUE(cislo.empty());
    }
    for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
        for (std::size_t s = 0; s < 16; ++s) {
            EXPECT_EQ(rec.TelCislaPoruchaKom[e][s], 255);
            EXPECT_EQ(rec.TelCislaObnovaKom[e][s], 255);
        }
        // The expander texts are left as they were.
        EXPECT_EQ(rec.ZpravaPorucha[e], filled.ZpravaPorucha[e]);
        EXPECT_EQ(rec.ZpravaObnova[e], filled.ZpravaObnova[e]);
        for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
            for (std::size_t s = 0; s < 16; ++s) {
                EXPECT_EQ(rec.TelCislaSepnuti[e][v][s], 255);
                EXPECT_EQ(rec.TelCislaRozpojeni[e][v][s], 255);
            }
            EXPECT_TRUE(rec.ZpravaSepnuti[e][v].empty());
            EXPECT_TRUE(rec.ZpravaRozpojeni[e][v].empty());
        }
    }
}

TEST(PromenneImage, StartUpGivesEqualImagesWithEveryRecipientSlotEmpty) {
    TNORLINK device{};
    InicializujNORLINKRec(device);
    TNORLINK working = device;
    EXPECT_EQ(working, device);
    EXPECT_TRUE(SameBytes(working, device));
    std::size_t empty = 0;
    for (const auto& e : working.TelCislaSepnuti) {
        for (const auto& v : e) {
            for (const auto slot : v) {
                empty += slot == k_NORLINKPhoneEmptyChar;
            }
        }
    }
    EXPECT_EQ(empty, 8u * 8u * 16u);
    EXPECT_TRUE(working.ZpravaPorucha[0].empty());
}

TEST(PromenneImage, CopyIsWholeAndIndependent) {
    const TNORLINK source = Filled();
    TNORLINK copy{};
    copy = source;
    EXPECT_EQ(copy, source);
    EXPECT_TRUE(SameBytes(copy, source));
    copy.ZpravaRozpojeni[7][7] = "changed";
    EXPECT_EQ(source.ZpravaRozpojeni[7][7], "Rozpojeni 63");
}

TEST(PromenneImage, ClearFillsEveryByteWithZero) {
    TNORLINK rec = Filled();
    ASSERT_FALSE(AllBytesZero(rec));
    ClearImage(rec);
    EXPECT_TRUE(AllBytesZero(rec));
    EXPECT_EQ(rec, TNORLINK{});
    EXPECT_EQ(rec.TelCislaObnovaKom[3][9], 0);
    EXPECT_TRUE(rec.TelCisla[15].empty());

    // After a reset both images are equal.
    TNORLINK other = Filled();
    InicializujNORLINKRec(other);
    ClearImage(other);
    EXPECT_EQ(rec, other);
}

TEST(PromenneImage, EqualitySeesAChangeInAnyField) {
    const TNORLINK base = Filled();
    struct TChange {
        const char* Name;
        void (*Apply)(TNORLINK&);
    };
    const TChange changes[] = {
        {"TelCisla", [](TNORLINK& r) { r.TelCisla[15] = "602000025x"; }},
        {"TelCislaPoruchaKom", [](TNORLINK& r) { r.TelCislaPoruchaKom[7][15] = 255; }},
        {"TelCislaObnovaKom", [](TNORLINK& r) { r.TelCislaObnovaKom[0][0] = 255; }},
        {"ZpravaPorucha", [](TNORLINK& r) { r.ZpravaPorucha[7] = "Porucha 8"; }},
        {"ZpravaObnova", [](TNORLINK& r) { r.ZpravaObnova[0].Append("!"); }},
        {"TelCislaSepnuti", [](TNORLINK& r) { r.TelCislaSepnuti[7][7][15] = 200; }},
        {"TelCislaRozpojeni", [](TNORLINK& r) { r.TelCislaRozpojeni[1][2][3] ^= 1; }},
        {"ZpravaSepnuti", [](TNORLINK& r) { r.ZpravaSepnuti[3][4] = "Sepnuti 29"; }},
        {"ZpravaRozpojeni", [](TNORLINK& r) { r.ZpravaRozpojeni[7][7] = "Rozpojeni 6"; }},
    };
    for (const auto& change : changes) {
        TNORLINK changed = base;
        change.Apply(changed);
        EXPECT_NE(changed, base) << change.Name;
        EXPECT_FALSE(SameBytes(changed, base)) << change.Name;
    }

    // The element comparisons the writer uses single out the changed item.
    TNORLINK changed = base;
    changed.TelCislaRozpojeni[1][2][3] ^= 1;
    EXPECT_NE(changed.TelCislaRozpojeni, base.TelCislaRozpojeni);
    EXPECT_NE(changed.TelCislaRozpojeni[1][2], base.TelCislaRozpojeni[1][2]);
    EXPECT_EQ(changed.TelCislaRozpojeni[1][1], base.TelCislaRozpojeni[1][1]);
    EXPECT_EQ(changed.TelCislaSepnuti, base.TelCislaSepnuti);
    changed = base;
    changed.ZpravaPorucha[2] = "Porucha 2 ";
    EXPECT_NE(changed.ZpravaPorucha, base.ZpravaPorucha);
    EXPECT_NE(changed.ZpravaPorucha[2], base.ZpravaPorucha[2]);
    EXPECT_EQ(changed.ZpravaPorucha[1], base.ZpravaPorucha[1]);
    EXPECT_EQ(changed.ZpravaObnova, base.ZpravaObnova);

    // A text set back to its old value compares equal again, byte for byte.
    changed.ZpravaPorucha[2] = "Porucha 2";
    EXPECT_EQ(changed, base);
    EXPECT_TRUE(SameBytes(changed, base));
}
