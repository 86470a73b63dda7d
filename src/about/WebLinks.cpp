#include "WebLinks.h"

#include "VersionInfo.h"

#include <QUrlQuery>

WebLinks WebLinks::fromBuild()
{
    WebLinks links;
    links.makerName = QStringLiteral(NUDGERY_MAKER_NAME);
    links.webAddress = QStringLiteral(NUDGERY_WEB_ADDRESS);
    links.emailAddress = QStringLiteral(NUDGERY_EMAIL_ADDRESS);
    links.freewarePage = QStringLiteral(NUDGERY_FREEWARE_PAGE);
    links.donationPage = QStringLiteral(NUDGERY_DONATION_PAGE);
    links.newsPage = QStringLiteral(NUDGERY_NEWS_PAGE);
    links.versionSource1 = QStringLiteral(NUDGERY_VERSION_SOURCE_1);
    links.versionSource2 = QStringLiteral(NUDGERY_VERSION_SOURCE_2);
    return links;
}

QUrl WebLinks::mailUrl() const
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(emailAddress);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QStringLiteral("from 'Nudgery' freeware..."));
    url.setQuery(query);
    return url;
}
