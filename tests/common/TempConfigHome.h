#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Points XDG_CONFIG_HOME at a fresh temporary folder for as long as it lives,
// so a test can write the log-in start entry without touching real settings.
class TempConfigHome
{
public:
    TempConfigHome()
        : m_hadConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")),
          m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    ~TempConfigHome()
    {
        if (m_hadConfig)
            qputenv("XDG_CONFIG_HOME", m_oldConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    TempConfigHome(const TempConfigHome &) = delete;
    TempConfigHome &operator=(const TempConfigHome &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString autostartEntry() const { return path() + "/autostart/Tasklyn.desktop"; }
    bool hadConfig() const { return m_hadConfig; }
    const QByteArray &oldConfig() const { return m_oldConfig; }

private:
    QTemporaryDir m_dir;
    bool m_hadConfig;
    QByteArray m_oldConfig;
};
