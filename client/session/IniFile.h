#pragma once
// Sectioned key=value text files ("info.hm", "chat.ini"), read and written the way the
// classic profile-string functions do it: "[section]" lines, "key=value" lines, GBK text,
// names compared without regard to case. Lines the class does not understand (comments,
// blank lines, anything else) are kept exactly as they stand.
#include <QString>

class classIniFile {
public:
    // The file this object works on (full path). Setting it does not touch the file.
    QString INIFileName() const { return fileName; }
    void setINIFileName(const QString& path) { fileName = path; }

    // The value of the key without surrounding spaces, at most 1023 GBK bytes of it;
    // empty when the file, section or key is missing.
    QString GetIniKey(const QString& section, const QString& key) const;

    // Sets the key, creating the file, the section and the key as needed. A failed write
    // is silent and leaves the old file as it was.
    void WriteIniKey(const QString& section, const QString& key, const QString& value);

    // Removes the key; nothing happens when it is not there.
    void DelIniKey(const QString& section, const QString& key);

    // Removes the section with all its lines; nothing happens when it is not there.
    void DelIniSec(const QString& section);

private:
    QString fileName;
};
