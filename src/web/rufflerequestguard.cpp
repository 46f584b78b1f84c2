#include "web/rufflerequestguard.h"

#include "web/pagecontract.h"

void RuffleRequestGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QString scheme = info.requestUrl().scheme();
    const bool allowed = scheme == QLatin1String(PageContract::Scheme) ||
                         scheme == QLatin1String("blob") || scheme == QLatin1String("data");
    info.block(!allowed);
}
