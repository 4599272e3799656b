#include "ui/update_fetcher.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace qmb {

FetchResult QtUpdateFetcher::Fetch(const std::string& address, std::size_t maxBytes) {
  FetchResult result;
  QUrl url(QString::fromStdString(address), QUrl::StrictMode);
  if (!url.isValid() || (url.scheme() != "http" && url.scheme() != "https")) return result;

  QNetworkAccessManager manager;
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, "HWT_QMB_5");
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setTransferTimeout(stallMs_);
  QNetworkReply* reply = manager.get(request);

  QEventLoop loop;
  QByteArray body;
  auto take = [&] {
    body += reply->read(static_cast<qint64>(maxBytes) - body.size());
    if (static_cast<std::size_t>(body.size()) >= maxBytes) loop.quit();
  };
  QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(limitMs_, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec();
  if (reply->isFinished() && reply->error() == QNetworkReply::NoError) take();

  int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  bool whole = reply->isFinished() && reply->error() == QNetworkReply::NoError;
  bool enough = static_cast<std::size_t>(body.size()) >= maxBytes;
  // An error page is no update information.
  if ((whole || enough) && status >= 200 && status < 300) {
    result.outcome = FetchResult::kFetched;
    result.body = body.toStdString();
  }
  reply->abort();
  delete reply;
  return result;
}

}  // namespace qmb
