#pragma once

#include "Fakes.h"
#include "platform/AppContext.h"
#include "reminders/AlarmTimer.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "tasks/TaskList.h"

#include <QTemporaryDir>

// A program folder in a temporary directory, the settings file in it, a record of
// damaged files, a fixed date format and fakes for every service, wired into one
// AppContext; the task list over the folder's task files and the alarm.
struct TestContext
{
    TestContext();
    TestContext(const TestContext &) = delete;
    TestContext &operator=(const TestContext &) = delete;

    QString folder() const { return ctx.programFolder; }
    QString file(const QString &name) const { return ctx.file(name); }

    QTemporaryDir dir;
    Settings settings;
    DamagedFiles damagedFiles;
    DateFormat dates{QStringLiteral("dd/MM/yyyy")};
    FakeMessageService messages;
    FakeClock clock;
    FakeFolderBrowser folders;
    FakeUrlOpener urls;
    FakeTextViewer textViewer;
    FakeDownloader downloader;
    FakeAutostart autostart;
    FakeOsInfo os;
    FakeNotifications notifications;
    AppContext ctx;
    TaskList tasks;
    AlarmTimer alarm;
};
