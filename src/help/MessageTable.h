#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace orvell {

// What went wrong reading or writing a message file: the error text and a
// number, both shown in the error box.
struct MessageFileError {
    QString text;
    int number = 0;
};

// The numbered table of user-visible texts ("message n"). A carriage return
// inside a text is a line break.
class MessageTable {
public:
    static constexpr int Count = 264;

    MessageTable();

    // Entry n; an index outside the table gives an empty text.
    const QString& operator[](int n) const;
    void restoreDefaults();

    // The message file: every entry in index order, each as a double quote,
    // the text, a double quote, CR LF.
    QByteArray toFileBytes() const;
    // Reads quoted entries from index 0 on; a shorter file leaves the later
    // entries as they were. On any error the table is left unchanged.
    std::optional<MessageFileError> loadFromBytes(const QByteArray& bytes);

    // Written through a temporary file, so a failed save keeps the old file.
    std::optional<MessageFileError> saveToFile(const QString& path) const;
    std::optional<MessageFileError> loadFromFile(const QString& path);

    // AppDir + "Help/ORVMesgs.txt" while helpDir is empty, else helpDir + "ORVMesgs.txt".
    static QString filePath(const QString& appDir, const QString& helpDir);
    // Where the file is read from: as filePath, but an installed program started
    // where there is no Help/ folder reads the installed copy (see helpFolder).
    static QString readPath(const QString& appDir, const QString& helpDir);

private:
    std::array<QString, Count> texts_;
};

}  // namespace orvell
