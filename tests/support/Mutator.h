#pragma once

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <iterator>
#include <random>

namespace orvell::test {

// Damaged section files of every kind: bytes flipped, dropped, repeated,
// lines cut and shuffled, runaway numbers.
inline QByteArray mutateSectionFile(const QByteArray& valid, std::mt19937& random)
{
    QByteArray bytes = valid;
    auto pick = [&random](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(random); };
    const int edits = 1 + static_cast<int>(pick(6));
    static const QByteArray pieces[] = {"=", "[", "]", "\r\n", "\n", "\r", "99999999999", "-2147483648",
                                        "[HFaders]\r\n", "[Panels]\r\n", "[AOrvell Data]\r\n", "X=",
                                        "[MIDI In Devs]\r\n", "[MIDI Out Devs]\r\n", "SysXMesg=00\r\n",
                                        "WindowState=2\r\n", "Top=-999999999\r\n", "\xff\xfe", QByteArray(1, '\0')};
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const qsizetype at = pick(bytes.size());
        switch (pick(5)) {
        case 0:
            bytes[at] = static_cast<char>(pick(256));
            break;
        case 1:
            bytes.remove(at, 1 + pick(40));
            break;
        case 2:
            bytes.insert(at, pieces[pick(std::size(pieces))]);
            break;
        case 3:
            bytes.insert(at, bytes.mid(pick(bytes.size()), 1 + pick(200)));
            break;
        default: {
            QList<QByteArray> lines = bytes.split('\n');
            std::shuffle(lines.begin(), lines.end(), random);
            bytes = lines.join('\n');
            break;
        }
        }
    }
    return bytes;
}

// Rounds for a mutation test: ORVELL_FUZZ_ROUNDS when set, else `fallback`.
inline int mutationRounds(int fallback)
{
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("ORVELL_FUZZ_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : fallback;
}

}  // namespace orvell::test
