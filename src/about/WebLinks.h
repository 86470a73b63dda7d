#pragma once

#include <QString>
#include <QUrl>

// The maker's name and addresses, as the build set them. An empty one means the
// packager has none: its label or command is left out.
struct WebLinks
{
    QString makerName;
    QString webAddress; // as shown in the about box
    QString emailAddress;
    QString freewarePage;
    QString donationPage;
    QString newsPage;
    QString versionSource1;
    QString versionSource2;

    static WebLinks fromBuild();

    // "mailto:<address>?subject=from 'Nudgery' freeware...", properly encoded.
    QUrl mailUrl() const;
};
