#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>
#include <time.h>

namespace {

// The same environment for every run, whether ctest or a person starts the test
// program: no display, one style, one locale, one time zone, private folders.
void fixEnvironment()
{
    const QByteArray home(NUDGERY_TEST_HOME);
    const QList<QPair<const char *, QByteArray>> vars = {
        {"QT_QPA_PLATFORM", "offscreen"},
        {"QT_STYLE_OVERRIDE", "Fusion"},
        {"LANG", "en_GB.UTF-8"},
        {"LC_ALL", "en_GB.UTF-8"},
        {"TZ", "UTC"},
        {"XDG_CONFIG_HOME", home + "/config"},
        {"XDG_DATA_HOME", home + "/data"},
        {"XDG_RUNTIME_DIR", home + "/runtime"},
    };
    for (const auto &v : vars)
        qputenv(v.first, v.second);
    tzset();
    QDir().mkpath(QString::fromLocal8Bit(home + "/runtime"));
    QFile::setPermissions(QString::fromLocal8Bit(home + "/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Test discovery lists the tests before any Qt object exists.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    fixEnvironment();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
