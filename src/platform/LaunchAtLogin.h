#pragma once

#include <QString>

// Starting Pendlow when the user logs in, through the freedesktop autostart folder: the entry
// "$XDG_CONFIG_HOME/autostart/pendlow.desktop" (~/.config when the variable is unset). Starting at
// login is on while that entry exists and is not switched off inside (Hidden=true, or
// X-GNOME-Autostart-enabled=false, which desktops write when the user turns an entry off).
//
// Turning it on writes the entry afresh, its Exec= the absolute path of the running binary, so a
// moved installation is picked up by switching off and on; turning it off removes the entry.
class LaunchAtLogin {
public:
    // The entry's file name in the autostart folder.
    static inline const QString entryName = QStringLiteral("pendlow.desktop");

    // The entry in the user's autostart folder, started as the running binary.
    LaunchAtLogin();
    // entryPath: the entry's file; executable: the absolute path written to Exec=.
    LaunchAtLogin(QString entryPath, QString executable);

    // "$XDG_CONFIG_HOME/autostart/pendlow.desktop".
    static QString defaultEntryPath();
    // The Exec= value for a program path: quoted and escaped as the desktop entry format wants when
    // it holds a space or another reserved character.
    static QString execValue(const QString& executable);

    const QString& entryPath() const { return m_entryPath; }
    const QString& executable() const { return m_executable; }

    // The entry exists, can be read and is not switched off.
    bool isEnabled() const;
    // Writes or removes the entry. Throws LaunchAtLoginError when the folder or the entry cannot be
    // written or the entry cannot be removed; an absent entry is removed without a failure.
    void setEnabled(bool enabled);

private:
    void writeEntry() const;
    void removeEntry() const;

    QString m_entryPath;
    QString m_executable;
};
