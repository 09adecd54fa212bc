#pragma once

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <iterator>
#include <random>
#include <span>

namespace orvell::test {

// One random edit at a random place: a byte changed, up to `maxDrop` bytes
// dropped, one of `pieces` inserted or up to `maxRepeat` bytes repeated.
// False, with nothing changed, for the one edit in five left to the caller.
inline bool damageOnce(QByteArray& bytes, std::mt19937& random, std::span<const QByteArray> pieces,
                       qsizetype maxDrop, qsizetype maxRepeat)
{
    auto pick = [&random](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(random); };
    const qsizetype at = pick(bytes.size());
    switch (pick(5)) {
    case 0:
        bytes[at] = static_cast<char>(pick(256));
        return true;
    case 1:
        bytes.remove(at, 1 + pick(maxDrop));
        return true;
    case 2:
        bytes.insert(at, pieces[static_cast<size_t>(pick(qsizetype(pieces.size())))]);
        return true;
    case 3:
        bytes.insert(at, bytes.mid(pick(bytes.size()), 1 + pick(maxRepeat)));
        return true;
    default:
        return false;
    }
}

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
        if (!damageOnce(bytes, random, pieces, 40, 200)) {
            QList<QByteArray> lines = bytes.split('\n');
            std::shuffle(lines.begin(), lines.end(), random);
            bytes = lines.join('\n');
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
