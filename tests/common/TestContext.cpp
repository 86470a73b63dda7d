#include "TestContext.h"

#include <stdexcept>

namespace {
QString folderOf(const QTemporaryDir &dir)
{
    if (!dir.isValid())
        throw std::runtime_error("cannot create a temporary program folder");
    return dir.path() + QLatin1Char('/');
}
} // namespace

TestContext::TestContext()
    : settings(folderOf(dir) + FileNames::Settings),
      tasks(folderOf(dir) + FileNames::Data, folderOf(dir) + FileNames::Archive, damagedFiles)
{
    ctx.programFolder = folderOf(dir);
    ctx.programPath = ctx.programFolder + QStringLiteral("nudgery");
    ctx.settings = &settings;
    ctx.damagedFiles = &damagedFiles;
    ctx.dates = &dates;
    ctx.messages = &messages;
    ctx.clock = &clock;
    ctx.folders = &folders;
    ctx.urls = &urls;
    ctx.textViewer = &textViewer;
    ctx.printers = nullptr;
    ctx.downloader = &downloader;
    ctx.autostart = &autostart;
    ctx.os = &os;
    tasks.setSettings(&settings);
    ctx.notifications = &notifications;
}
