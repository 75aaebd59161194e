#include "texts.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "cipher/cipher.h"

namespace bench {
namespace {

// A small fixed generator (xorshift64*), so that the texts do not depend on
// the standard library's distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1DULL;
    }
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

private:
    std::uint64_t m_state;
};

constexpr std::u16string_view kWords[] = {
    u"il",           u"la",        u"di",         u"che",        u"e",        u"un",
    u"una",          u"non",       u"per",        u"con",        u"del",      u"della",
    u"nel",          u"alla",      u"sono",       u"è",          u"era",      u"più",
    u"perché",       u"però",      u"così",       u"città",      u"già",      u"può",
    u"giù",          u"virtù",     u"libertà",    u"verità",     u"caffè",    u"tè",
    u"lunedì",       u"martedì",   u"metà",       u"età",        u"dopo",     u"prima",
    u"sempre",       u"mai",       u"ancora",     u"anche",      u"quando",   u"dove",
    u"come",         u"mentre",    u"sera",       u"mattina",    u"giorno",   u"notte",
    u"casa",         u"strada",    u"piazza",     u"chiesa",     u"fiume",    u"mare",
    u"montagna",     u"collina",   u"campagna",   u"paese",      u"vento",    u"pioggia",
    u"sole",         u"luna",      u"stelle",     u"cielo",      u"nuvole",   u"albero",
    u"fiori",        u"giardino",  u"finestra",   u"porta",      u"tavola",   u"pane",
    u"vino",         u"acqua",     u"latte",      u"formaggio",  u"olio",     u"sale",
    u"libro",        u"lettera",   u"parola",     u"storia",     u"racconto", u"viaggio",
    u"treno",        u"stazione",  u"biglietto",  u"amico",      u"amica",    u"fratello",
    u"sorella",      u"madre",     u"padre",      u"nonna",      u"nonno",    u"bambini",
    u"ragazzo",      u"ragazza",   u"signore",    u"signora",    u"maestro",  u"medico",
    u"parlava",      u"diceva",    u"guardava",   u"pensava",    u"sapeva",   u"voleva",
    u"andava",       u"tornava",   u"aspettava",  u"cercava",    u"trovò",    u"disse",
    u"rispose",      u"scrisse",   u"lesse",      u"partì",      u"arrivò",   u"capì",
    u"sentì",        u"mangiò",    u"bevve",      u"dormì",      u"lungo",    u"breve",
    u"vecchio",      u"nuovo",     u"bello",      u"grande",     u"piccolo",  u"caldo",
    u"freddo",       u"chiaro",    u"scuro",      u"lontano",    u"vicino",   u"felice",
    u"triste",       u"stanco",    u"tranquillo", u"antico",     u"semplice", u"difficile",
    u"l'uomo",       u"l'acqua",   u"dell'anno",  u"all'alba",   u"un'ora",   u"c'era",
    u"quell'estate", u"nell'orto", u"sull'erba",  u"dall'altra", u"«Sì»",     u"«No»",
    u"Zelvano",      u"Roma",      u"Milano",     u"Napoli",     u"Firenze",  u"Venezia",
    u"Torino",       u"Bologna",   u"Genova",     u"Palermo"};

constexpr std::array<std::u16string_view, 6> kSentenceEnds = {u".", u".", u".", u"!", u"?", u"…"};
constexpr std::array<std::u16string_view, 4> kPauses = {u",", u",", u";", u":"};

char16_t capital(char16_t ch) {
    return cipher::ToUpperChar(ch);
}

}  // namespace

std::u16string italianProse(std::size_t length) {
    Random random(0x5A454C56414E4FULL);
    std::u16string text;
    text.reserve(length + 64);
    while (text.size() < length) {
        const std::size_t sentences = 2 + random.below(6);
        for (std::size_t s = 0; s < sentences && text.size() < length; ++s) {
            if (s > 0) {
                text.push_back(u' ');
            }
            const std::size_t words = 4 + random.below(14);
            for (std::size_t w = 0; w < words; ++w) {
                std::u16string_view word = kWords[random.below(std::size(kWords))];
                if (w > 0) {
                    text.push_back(u' ');
                }
                const std::size_t start = text.size();
                text.append(word);
                if (w == 0 && text[start] != u'«') {
                    text[start] = capital(text[start]);
                }
                if (w + 1 < words && random.below(9) == 0) {
                    text.append(kPauses[random.below(kPauses.size())]);
                }
            }
            text.append(kSentenceEnds[random.below(kSentenceEnds.size())]);
        }
        text.append(u"\r\n");
        if (random.below(3) == 0) {
            text.append(u"\r\n");  // an empty line between paragraphs
        }
    }
    text.resize(length);
    if (!text.empty() && text.back() == u'\r') {
        text.back() = u'.';
    }
    return text;
}

std::u16string proseWithoutSpaces(std::size_t length) {
    std::u16string text;
    text.reserve(length);
    std::size_t source = length;
    while (text.size() < length) {
        for (char16_t ch : italianProse(source)) {
            if (ch != u' ' && ch != u'\r' && ch != u'\n' && text.size() < length) {
                text.push_back(ch);
            }
        }
        source *= 2;
        if (text.size() < length) {
            text.clear();
        }
    }
    return text;
}

std::u16string allCodesMixed(std::size_t length) {
    Random random(0x31323532ULL);
    std::u16string text;
    text.reserve(length + 256);
    while (text.size() < length) {
        std::array<int, 256> codes{};
        for (int c = 0; c < 256; ++c) {
            codes[c] = c;
        }
        for (std::size_t i = codes.size() - 1; i > 0; --i) {
            std::swap(codes[i], codes[random.below(i + 1)]);
        }
        for (int code : codes) {
            text.push_back(cipher::CodeToChar(code));
        }
    }
    text.resize(length);
    // Index i is position i + 1. Codes 251 to 255 have no encrypted form at an
    // odd position, and the encrypted forms of codes 0 and 1 at an even
    // position have no decrypted one: move them to the other parity.
    auto misplaced = [&text](std::size_t i) {
        const int code = cipher::CharToCode(text[i]).value_or(0);
        return i % 2 == 0 ? code >= 251 : code <= 1;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!misplaced(i)) {
            continue;
        }
        // A partner of the other parity, after i first, then before it.
        auto trySwap = [&](std::size_t j) {
            std::swap(text[i], text[j]);
            if (!misplaced(i) && !misplaced(j)) {
                return true;
            }
            std::swap(text[i], text[j]);
            return false;
        };
        bool placed = false;
        for (std::size_t j = i + 1; !placed && j < text.size(); j += 2) {
            placed = trySwap(j);
        }
        for (std::size_t j = 1 - i % 2; !placed && j < i; j += 2) {
            placed = trySwap(j);
        }
    }
    return text;
}

std::u16string encryptedForm(const std::u16string& plain) {
    cipher::TextResult result = cipher::EncryptText(plain);
    if (result.stoppedAt || result.unsupportedAt || result.text.size() != plain.size() + 1) {
        throw std::logic_error("benchmark text does not encrypt to the end");
    }
    return result.text.substr(1);
}

}  // namespace bench
