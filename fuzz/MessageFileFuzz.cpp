// Feeds arbitrary bytes to the message-file reader; a refused file must leave
// the table as it was.

#include "help/MessageTable.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static const QByteArray factory = orvell::MessageTable().toFileBytes();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    orvell::MessageTable table;
    if (table.loadFromBytes(bytes) && table.toFileBytes() != factory)
        std::abort();
    // Whatever was read must survive its own dump.
    orvell::MessageTable again;
    if (again.loadFromBytes(table.toFileBytes()) || again.toFileBytes() != table.toFileBytes())
        std::abort();
    return 0;
}
