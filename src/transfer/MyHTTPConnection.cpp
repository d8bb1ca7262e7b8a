#include "transfer/MyHTTPConnection.h"

#include "library/ZivoModel.h"
#include "platform/Bundle.h"
#include "platform/FileManager.h"
#include "library/NotificationNames.h"
#include "platform/NotificationCenter.h"
#include "platform/Translations.h"
#include "transfer/HTTPDataResponse.h"
#include "transfer/HTTPFileResponse.h"
#include "transfer/HTTPServer.h"
#include "transfer/RequestOrigin.h"
#include "transfer/UploadNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

#include <cerrno>
#include <cstring>

namespace {
QString htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

// A value inside a single-quoted script string that itself sits in an HTML attribute.
QString scriptInAttribute(const QString &text)
{
    QString script = text;
    script.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return htmlEscaped(script);
}

QString documentsRoot(const HTTPServer *server)
{
    return server && !server->documentRoot().isEmpty() ? server->documentRoot()
                                                       : ZivoModel::getPathWithFolderName("Documents");
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The request path without its query or fragment.
QByteArray pathOf(const QByteArray &uri)
{
    qsizetype end = uri.size();
    for (char stop : {'?', '#'})
        if (const qsizetype at = uri.indexOf(stop); at >= 0)
            end = std::min(end, at);
    return uri.left(end);
}
} // namespace

MyHTTPConnection::MyHTTPConnection(AsyncSocket *socket, HTTPServer *server) : HTTPConnection(socket, server)
{}

// Unfinished uploads go with their temporary files: a cut-off body leaves nothing.
MyHTTPConnection::~MyHTTPConnection() = default;

void MyHTTPConnection::prepareDocumentRoot(const QString &root)
{
    UploadPartFile::removeStale(root);
}

bool MyHTTPConnection::supportsMethod(const QByteArray &method, const QByteArray &path)
{
    return method == "POST" || HTTPConnection::supportsMethod(method, path);
}

// Another site's name pointed at this address reaches nothing; another site's page (through
// the user's browser) may read the page but not write into the library.
bool MyHTTPConnection::isRequestAllowed()
{
    const QList<QByteArray> hosts = request().headerFieldValues("Host");
    if (hosts.size() > 1
        || (!hosts.isEmpty() && !hosts.front().trimmed().isEmpty() && !RequestOrigin::isOwnHost(hosts.front())))
        return false;
    const bool writes = request().method() == "POST" || request().url().startsWith("/___makeFolder");
    if (!writes)
        return true;
    if (request().hasHeaderField("Origin")
        && !RequestOrigin::isOwnOrigin(request().headerField("Origin"), asyncSocket()->localPort()))
        return false;
    const QByteArray site = request().headerField("Sec-Fetch-Site").trimmed().toLower();
    return site.isEmpty() || site == "same-origin" || site == "none";
}

// ---- the body ----

void MyHTTPConnection::dropUpload()
{
    m_parser.reset();
    m_uploads.clear();
    m_fields.clear();
    m_fieldValue.clear();
    m_fieldBytes = 0;
    m_fieldCount = 0;
    m_fieldBudget.release();
    m_failure.reset();
}

void MyHTTPConnection::prepareForBodyWithSize(quint64)
{
    dropUpload();
    m_parser = std::make_unique<MultipartParser>();
    m_parser->onPartBegin = [this](const MultipartParser::PartHeader &header) { partBegin(header); };
    m_parser->onPartData = [this](QByteArrayView data) { partData(data); };
    m_parser->onPartEnd = [this] { partEnd(); };
    m_inFilePart = m_skippingPart = false;
    m_outcome.reset();
    m_uploadFinished = false;
    m_uploadFileName.clear();
    m_uploadFolderName.clear();
}

// A refused request's body is not kept: its temporary files (and their descriptors and
// disk space) go at once, not when the connection, which stays open, finally closes.
void MyHTTPConnection::handleVersionNotSupported(const QByteArray &version)
{
    dropUpload();
    m_uploadFinished = false;
    requestContentLength = 0;
    HTTPConnection::handleVersionNotSupported(version);
}

void MyHTTPConnection::processDataChunk(const QByteArray &chunk)
{
    if (!m_parser || m_failure)
        return;
    if (!m_parser->feed(chunk))
        fail(400, QStringLiteral("The upload is not a multipart/form-data body."));
    // A refused upload is answered at once: the rest of its body would only be thrown away.
    if (m_failure) {
        finishUploadWith(m_failure);
        stopReadingBody();
    }
}

void MyHTTPConnection::finishUploadWith(std::optional<Failure> outcome)
{
    m_outcome = std::move(outcome);
    m_uploadFinished = true;
    dropUpload();
}

void MyHTTPConnection::fail(int status, const QString &message)
{
    if (!m_failure)
        m_failure = Failure{status, message};
}

// The folder and the file name are the fields an upload cannot do without read whole.
void MyHTTPConnection::fieldCannotBeRead(const QByteArray &name, const QString &why)
{
    const bool needed = name == "folder" || name == "Filename";
    fail(needed ? 400 : 413,
         QStringLiteral("The form field \"%1\" cannot be read whole (%2).").arg(QString::fromUtf8(name), why));
}

void MyHTTPConnection::partBegin(const MultipartParser::PartHeader &header)
{
    m_fieldName = header.name;
    m_fieldValue.clear();
    m_inFilePart = header.hasFilename;
    m_skippingPart = true;
    if (m_failure)
        return;
    if (!m_inFilePart) {
        if (++m_fieldCount > kMaxFields) {
            fieldCannotBeRead(header.name, QStringLiteral("more than %1 fields").arg(kMaxFields));
        } else if (m_fieldBytes + header.name.size() > kMaxFieldBytes) {
            fieldCannotBeRead(header.name, QStringLiteral("more than %1 bytes of fields").arg(kMaxFieldBytes));
        } else if (!m_fieldBudget.take(header.name.size())) {
            fail(503, QStringLiteral("The server is too busy to take this upload now."));
        } else {
            m_fieldBytes += header.name.size();
            m_skippingPart = false;
        }
        return;
    }
    if (header.filename.isEmpty())
        return; // an empty file input
    if (int(m_uploads.size()) >= kMaxFiles) {
        fail(413, QStringLiteral("At most %1 files can be sent at once.").arg(kMaxFiles));
        return;
    }
    // The folder is decided before a byte is written: in it when it is already named, else
    // in Documents itself (then moved on the same file system when the name comes).
    const QString root = documentsRoot(server());
    QString directory = root;
    if (m_fields.contains("folder")) {
        const std::optional<QString> value = UploadNames::decode(m_fields.value("folder"));
        if (!value) {
            fail(400, QStringLiteral("The folder name is not valid UTF-8."));
            return;
        }
        const UploadNames::Folder folder = UploadNames::folder(root, *value);
        if (folder.status) {
            fail(folder.status, folder.refusal);
            return;
        }
        directory = folder.directory;
    }
    if (!m_uploads.empty() && !m_uploads.back().file->park()) {
        fail(500, QStringLiteral("The server cannot write into the folder: %1").arg(systemText(errno)));
        return;
    }
    std::unique_ptr<UploadPartFile> file = UploadPartFile::create(directory);
    if (!file) {
        const int error = errno;
        fail(UploadPartFile::isNoSpace(error) ? 507 : 500,
             QStringLiteral("The server cannot write into the folder: %1").arg(systemText(error)));
        return;
    }
    m_uploads.push_back(Upload{std::move(file), header.filename});
    m_skippingPart = false;
}

void MyHTTPConnection::partData(QByteArrayView data)
{
    if (m_skippingPart)
        return;
    if (!m_inFilePart) {
        if (m_fieldBytes + data.size() > kMaxFieldBytes) {
            fieldCannotBeRead(m_fieldName, QStringLiteral("more than %1 bytes of fields").arg(kMaxFieldBytes));
            m_skippingPart = true;
        } else if (!m_fieldBudget.take(data.size())) {
            fail(503, QStringLiteral("The server is too busy to take this upload now."));
            m_skippingPart = true;
        } else {
            m_fieldBytes += data.size();
            m_fieldValue.append(data);
        }
        return;
    }
    if (!m_uploads.back().file->write(data.constData(), data.size())) {
        const int error = errno;
        fail(UploadPartFile::isNoSpace(error) ? 507 : 500,
             QStringLiteral("The file could not be stored: %1").arg(systemText(error)));
        m_uploads.pop_back(); // removes the temporary file
        m_skippingPart = true;
    }
}

void MyHTTPConnection::partEnd()
{
    if (!m_skippingPart && !m_inFilePart && !m_fields.contains(m_fieldName))
        m_fields.insert(m_fieldName, m_fieldValue);
}

void MyHTTPConnection::requestBodyDidEnd()
{
    // Another version is refused whole (handleVersionNotSupported): nothing is stored.
    if (request().version() != "HTTP/1.1") {
        replyToHTTPRequest();
        return;
    }
    std::vector<UploadCommit::Item> items;
    if (std::optional<Failure> failure = prepareCommit(&items)) {
        finishUploadWith(failure);
        replyToHTTPRequest();
        return;
    }
    dropUpload();
    // The disk flush takes long on a slow card and must not hold up the other clients:
    // the upload is answered when its files are in place.
    QObject *context = server() ? static_cast<QObject *>(server()) : QCoreApplication::instance();
    UploadCommit::start(std::make_unique<UploadCommit>(std::move(items)), context,
                        [connection = QPointer<MyHTTPConnection>(this)](const UploadCommit::Result &result) {
                            announceStored(result.stored);
                            if (connection)
                                connection->commitFinished(result);
                        });
}

std::optional<MyHTTPConnection::Failure> MyHTTPConnection::prepareCommit(std::vector<UploadCommit::Item> *items)
{
    if (!m_parser || !m_parser->isComplete())
        return Failure{400, QStringLiteral("The upload is not a complete multipart/form-data body.")};
    if (m_failure)
        return m_failure;
    if (m_uploads.empty())
        return Failure{400, QStringLiteral("The upload carries no file.")};

    const std::optional<QString> folderValue =
        UploadNames::decode(m_fields.contains("folder") ? m_fields.value("folder") : QByteArray("/"));
    if (!folderValue)
        return Failure{400, QStringLiteral("The folder name is not valid UTF-8.")};
    m_uploadFolderName = *folderValue;
    const UploadNames::Folder folder = UploadNames::folder(documentsRoot(server()), *folderValue);
    if (folder.status)
        return Failure{folder.status, folder.refusal};

    // The page's uploader also names the file in its own "Filename" field.
    const std::optional<QString> fieldName = UploadNames::decode(m_fields.value("Filename"));
    if (!fieldName)
        return Failure{400, QStringLiteral("The file name is not valid UTF-8.")};
    QStringList names;
    for (const Upload &upload : m_uploads) {
        const std::optional<QString> sent =
            m_uploads.size() == 1 && !fieldName->isEmpty() ? fieldName : UploadNames::decode(upload.clientName);
        const QString name = sent ? UploadNames::fileName(*sent) : QString();
        if (name.isEmpty())
            return Failure{400,
                           QStringLiteral("The file name \"%1\" is not allowed.")
                               .arg(sent ? *sent : QString::fromUtf8(upload.clientName))};
        // Every check comes before the first file is stored: a refused upload stores nothing.
        if (QFileInfo(folder.directory + QLatin1Char('/') + name).isDir())
            return Failure{409, QStringLiteral("\"%1\" is a folder.").arg(name)};
        names.append(name);
    }
    // A name sent twice is stored once: the last file of that name wins, as a later upload would.
    for (size_t i = 0; i < m_uploads.size(); ++i)
        if (names.lastIndexOf(names[qsizetype(i)]) == qsizetype(i))
            items->push_back({std::move(m_uploads[i].file), folder.directory, names[qsizetype(i)]});
    return std::nullopt;
}

void MyHTTPConnection::commitFinished(const UploadCommit::Result &result)
{
    if (!result.stored.isEmpty())
        m_uploadFileName = result.stored.last();
    finishUploadWith(result.status ? std::optional<Failure>(Failure{result.status, result.message}) : std::nullopt);
    replyToHTTPRequest();
}

void MyHTTPConnection::announceStored(const QStringList &names)
{
    for (const QString &name : names)
        NotificationCenter::defaultCenter().postNotificationName(TransferNotify::serverMessage,
                                                                 QStringLiteral("[%1] upload Success\n").arg(name));
}

// ---- routing ----

std::unique_ptr<HTTPResponse> MyHTTPConnection::pageResponse(const QString &html, int status)
{
    return std::make_unique<HTTPDataResponse>(html.toUtf8(), status);
}

std::unique_ptr<HTTPResponse> MyHTTPConnection::failurePage(const Failure &failure)
{
    return pageResponse(QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                       "charset=utf-8\" /><title>Upload failed</title></head><body>%1</body></html>")
                            .arg(htmlEscaped(failure.message)),
                        failure.status);
}

std::unique_ptr<HTTPResponse> MyHTTPConnection::httpResponseForMethod(const QByteArray &method, const QByteArray &uri)
{
    if (method == "POST") {
        // A POST without a body stored nothing, and must not look like a stored upload.
        const std::optional<Failure> failure =
            m_uploadFinished ? m_outcome : Failure{400, QStringLiteral("The upload carries no file.")};
        // The request's fields and files are done with: nothing of them outlives its response.
        dropUpload();
        m_outcome.reset();
        m_uploadFinished = false;
        requestContentLength = 0;
        if (failure)
            return failurePage(*failure);
    }

    // The page's own routes come first: an uploaded file of the same name never replaces them.
    const QByteArray path = pathOf(uri);
    if (path.startsWith("/___Uploader"))
        return assetResponse(uri);
    if (path == "/success")
        return pageResponse(createBrowseableSuccess());
    if (path.startsWith("/___makeFolder"))
        return makeFolderResponse(method, uri);
    if (path != "/" && path != "/success2" && !path.endsWith('/')) {
        const QString file = filePathForURI(uri);
        if (!file.isEmpty() && FileManager::isRegularFile(file)
            && !UploadPartFile::isTemporaryName(QFileInfo(file).fileName())) {
            // A download, never a page of this server's origin: no sniffing, saved not shown.
            auto download = std::make_unique<HTTPFileResponse>(file);
            download->addHeaderField("X-Content-Type-Options", "nosniff");
            download->addHeaderField("Content-Disposition", "attachment");
            return download;
        }
    }
    return pageResponse(createBrowseableIndex(QStringLiteral("/")));
}

std::unique_ptr<HTTPResponse> MyHTTPConnection::assetResponse(const QByteArray &uri) const
{
    QByteArray path = uri;
    const qsizetype query = path.indexOf('?');
    if (query >= 0)
        path.truncate(query);
    const QString base = uploaderResourcePath();
    const QString relative = QUrl::fromPercentEncoding(path.mid(int(strlen("/___Uploader"))));
    if (base.isEmpty() || !relative.startsWith(QLatin1Char('/')) || relative.contains(QChar(0)))
        return nullptr;
    const QString full = QDir::cleanPath(base + relative);
    if (!full.startsWith(base + QLatin1Char('/')) || !QFileInfo(full).isFile())
        return nullptr;
    return std::make_unique<HTTPFileResponse>(full);
}

std::unique_ptr<HTTPResponse> MyHTTPConnection::makeFolderResponse(const QByteArray &method, const QByteArray &uri)
{
    const QByteArray encoded = uri.mid(14);
    const std::optional<QString> decoded = UploadNames::decode(QByteArray::fromPercentEncoding(encoded));
    const QString requested = decoded ? *decoded : QString::fromUtf8(QByteArray::fromPercentEncoding(encoded));
    const QString name = requested.trimmed();
    if (!decoded || !UploadNames::isPrintable(requested) || !UploadNames::isAllowedComponent(name)
        || name.contains(QLatin1Char('\\')) || name == QLatin1String("Documents"))
        return pageResponse(QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                           "charset=utf-8\" /></head><body>The folder name \"%1\" is not allowed. "
                                           "<a href='/'>Back</a></body></html>")
                                .arg(htmlEscaped(requested)),
                            400);
    const QString path = documentsRoot(server()) + QLatin1Char('/') + name;
    QString message;
    if (QFileInfo::exists(path)) {
        message = QStringLiteral("폴더가 이미 존재 합니다.");
    } else if (method == "GET") { // a HEAD only asks what a GET would answer
        if (!ZivoModel::createDir(path))
            return pageResponse(QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                               "charset=utf-8\" /></head><body>The folder \"%1\" could not be "
                                               "created. <a href='/'>Back</a></body></html>")
                                    .arg(htmlEscaped(name)),
                                500);
        message = QStringLiteral("폴더를 생성하였습니다.");
    }
    return pageResponse(createBrowseableIndex(QStringLiteral("/"), message));
}

// ---- pages ----

QString MyHTTPConnection::createBrowseableIndex(const QString &, const QString &)
{
    QString page;
    page += QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />");
    page += QStringLiteral("<title>Orbo File UPLOAD</title>");
    page += QStringLiteral("<link href=\"/___Uploader/uploadify.css\" type=\"text/css\" rel=\"stylesheet\" />");
    page += QStringLiteral("<script type=\"text/javascript\" src=\"/___Uploader/jquery-1.4.2.min.js\"></script>");
    page += QStringLiteral("<script type=\"text/javascript\" src=\"/___Uploader/swfobject.js\"></script>");
    page += QStringLiteral(
        "<script type=\"text/javascript\" src=\"/___Uploader/jquery.uploadify.v2.1.4.min.js\"></script>");
    page += QStringLiteral("<script type=\"text/javascript\">");
    page += QStringLiteral("$(document).ready(function() {");
    page += QStringLiteral("$('#file_upload').uploadify({");
    page += QStringLiteral("'uploader'  : '/___Uploader/uploadify.swf',");
    page += QStringLiteral("'script'    : '/success2',");
    page += QStringLiteral("'cancelImg' : '/___Uploader/cancel.png',");
    page += QStringLiteral("'folder'    : '/',");
    page += QStringLiteral("'fileExt'   : '*.mp3;*.m4a;',");
    page += QStringLiteral("'fileDesc'   : 'MP3, M4A(ALAC)',");
    page += QStringLiteral("'multi'     : true,");
    page += QStringLiteral("'auto'      : true});");
    page += QStringLiteral("});");
    page += QStringLiteral("</script>");
    page += QStringLiteral("<script type='text/javascript'>");
    page += QStringLiteral("function makeFolder(){");
    page += QStringLiteral("\tif(form1.folderName.value.length == 0){");
    page += QStringLiteral("\t\talert('폴더명을 입력해 주세요.');");
    page += QStringLiteral("\t\treturn;");
    page += QStringLiteral("\t}else{");
    page += QStringLiteral("\t\tlocation.href='/___makeFolder'+form1.folderName.value;");
    page += QStringLiteral("\t}");
    page += QStringLiteral("}");
    page += QStringLiteral("function checkBoxSelect(){");
    page += QStringLiteral("\tfor(var i=0 ; i < form1.folderChechBox.length; i++){");
    page += QStringLiteral("\t\tif(form1.folderChechBox[i].value == form1.folderName.value){");
    page += QStringLiteral("\t\t\tform1.folderChechBox[i].checked = true;");
    page += QStringLiteral("\t\t}else{");
    page += QStringLiteral("\t\t\tform1.folderChechBox[i].checked = false;");
    page += QStringLiteral("\t\t}");
    page += QStringLiteral("\t}");
    page += QStringLiteral("}");
    page += QStringLiteral("</script>");
    page += QStringLiteral("</head><body>");
    page += QStringLiteral("<image src='/___Uploader/Orbo_filetransfer_page.jpg'>");
    page += QStringLiteral("<br><br>");
    page += QStringLiteral("■ %1 <br><br>").arg(Translations::text("upload several files"));
    page += QStringLiteral("<form name='form1'>");
    page += QStringLiteral("<input type='hidden' name='uploadFolder' value='/'>");
    page += QStringLiteral("%1 : /Documents/<input type='text' id='folderName' readonly><br>")
                .arg(Translations::text("To copy a file folder"));
    page += QStringLiteral("<hr width='800' align='left'>");
    page += QStringLiteral("<input name='folderChechBox' checked type='checkbox' value='/' "
                           "onclick=\"$('#file_upload').uploadifySettings('folder','/');folderName.value='/';"
                           "checkBoxSelect();\">/Documents<br>");
    // Exactly the folders an upload accepts.
    const QString documents = ZivoModel::getPathWithFolderName(QStringLiteral("Documents"));
    for (const QString &folder : UploadNames::uploadFolders(documents)) {
        // Names go in escaped, so that a quote or "<" in a folder name cannot break the page.
        const QString html = htmlEscaped(folder);
        const QString script = scriptInAttribute(folder);
        page += QStringLiteral("<input name='folderChechBox' type='checkbox' value='%1' "
                               "onclick=\"$('#file_upload').uploadifySettings('folder','%2');folderName.value='%2';"
                               "checkBoxSelect();\">/Documents/%1<br>")
                    .arg(html, script);
    }
    page += QStringLiteral("<hr width='800' align='left'>");
    page += QStringLiteral("<input type='file' id='file_upload' name='file_upload' />");
    page += QStringLiteral("</form>");
    page += QStringLiteral("</body></html>");
    return page;
}

QString MyHTTPConnection::createBrowseableSuccess()
{
    QString page;
    page += QStringLiteral("<html><head>");
    page += QStringLiteral("<title>File Upload Success</title>");
    page += QStringLiteral("<style>html {background-color:#eeeeee} body { background-color:#FFFFFF; "
                           "font-family:Tahoma,Arial,Helvetica,sans-serif; font-size:18x; margin-left:15%; "
                           "margin-right:15%; border:3px groove #006600; padding:15px; } </style>");
    page += QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html;charset=UTF-8\">");
    page += QStringLiteral("</head><body>");
    page += Translations::text("FileUploadSuccess");
    page += Translations::text("PleaseRename");
    page += QStringLiteral("<p>");
    page += QStringLiteral("<a href='/'>Back</a><br />\n");
    page += QStringLiteral("</p>");
    page += QStringLiteral("</body></html>");
    return page;
}

QString MyHTTPConnection::uploaderResourcePath()
{
    return Bundle::installedResourceFolder(QStringLiteral("___Uploader"));
}
