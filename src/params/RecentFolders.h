#pragma once

#include <QString>
#include <array>

// The folders the file dialogs last used, so that Open, Save as and the PDF export start where
// the technician left off, and the folder of the unit records set in the setup dialog. Kept in
// kovr.ini in section "Folders", the tool's own, which goes after the settings' sections; only
// what changed in this run is written.
class RecentFolders {
public:
    enum Kind { ParameterFiles, Reports, Records };

    // Reads section "Folders" of `iniPath`; a file that is missing or unreadable leaves none.
    void load(const QString& iniPath);
    // The folder last used for `kind`; empty when none was.
    QString folder(Kind kind) const { return m_folders[kind]; }
    // The folder of `filePath`, chosen in a dialog for `kind`.
    void remember(Kind kind, const QString& filePath);
    // `folder` itself (empty: none named) for `kind`.
    void setFolder(Kind kind, const QString& folder);
    // Writes the folders known into `iniPath`, every other line as it was; true when there was
    // nothing to write or it was written.
    bool save(const QString& iniPath, QString* error = nullptr) const;

private:
    std::array<QString, 3> m_folders;
    std::array<bool, 3> m_changed{};
};

// The name "Uložit jako" and the PDF export propose: the electronics serial number and the
// date, "<serial>_<yyyy-MM-dd>.<suffix>"; characters a file name should not hold become '_',
// and without a serial number the name starts with "kovr".
QString proposedFileName(const QString& electronicsSerial, const QString& date,
                         const QString& suffix);
