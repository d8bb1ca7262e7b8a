#include "transfer/MyHTTPConnection.h"

#include "library/ZivoModel.h"
#include "platform/FileManager.h"
#include "platform/NotificationCenter.h"
#include "transfer/HTTPDataResponse.h"
#include "transfer/HTTPFileResponse.h"
#include "transfer/HTTPServer.h"
#include "platform/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qsizetype kMaxFieldValue = 64 * 1024;
constexpr int kMaxFields = 64;
constexpr int kMaxFiles = 64;

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
} // namespace

MyHTTPConnection::MyHTTPConnection(AsyncSocket *socket, HTTPServer *server) : HTTPConnection(socket, server)
{}

// Unfinished uploads go with their temporary files: a cut-off body leaves nothing.
MyHTTPConnection::~MyHTTPConnection() = default;

bool MyHTTPConnection::supportsMethod(const QByteArray &method, const QByteArray &path)
{
    return method == "POST" || HTTPConnection::supportsMethod(method, path);
}

QString MyHTTPConnection::safeComponent(const QString &name)
{
    // Browsers on some systems send the whole client path: keep its last piece.
    QString component = name;
    const qsizetype cut = std::max(component.lastIndexOf(QLatin1Char('/')), component.lastIndexOf(QLatin1Char('\\')));
    if (cut >= 0)
        component = component.mid(cut + 1);
    component = component.trimmed();
    if (component.isEmpty() || component.startsWith(QLatin1Char('.')) || component.toUtf8().size() > 255)
        return {};
    for (const QChar c : component)
        if (c.unicode() < 32 || c.unicode() == 127)
            return {};
    if (component == QLatin1String("___Uploader") || component == QLatin1String("CIC"))
        return {};
    return component;
}

QString MyHTTPConnection::folderPath(const QString &folderValue, QString *refusal)
{
    QString folder = folderValue.trimmed();
    while (folder.startsWith(QLatin1Char('/')))
        folder.remove(0, 1);
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    if (folder.isEmpty())
        return QString(); // the root
    // "Documents" names the root everywhere in the library: a sub-folder of that name
    // could not be told from it.
    if (folder.contains(QLatin1Char('/')) || folder.contains(QLatin1Char('\\')) || safeComponent(folder) != folder
        || folder == QLatin1String("Documents")) {
        *refusal = QStringLiteral("The folder name \"%1\" is not allowed.").arg(folderValue);
        return QString();
    }
    return folder;
}

// ---- the body ----

void MyHTTPConnection::prepareForBodyWithSize(quint64)
{
    m_parser = std::make_unique<MultipartParser>();
    m_parser->onPartBegin = [this](const MultipartParser::PartHeader &header) { partBegin(header); };
    m_parser->onPartData = [this](QByteArrayView data) { partData(data); };
    m_parser->onPartEnd = [this] { partEnd(); };
    m_fields.clear();
    m_fieldCount = 0;
    m_uploads.clear();
    m_failure.reset();
    m_inFilePart = m_skippingPart = false;
    m_uploadFileName.clear();
    m_uploadFolderName.clear();
}

// A refused request's body is not kept: its temporary files (and their descriptors and
// disk space) go at once, not when the connection, which stays open, finally closes.
void MyHTTPConnection::handleVersionNotSupported(const QByteArray &version)
{
    m_parser.reset();
    m_uploads.clear();
    requestContentLength = 0;
    HTTPConnection::handleVersionNotSupported(version);
}

void MyHTTPConnection::processDataChunk(const QByteArray &chunk)
{
    if (m_parser && !m_parser->hasFailed())
        m_parser->feed(chunk);
}

void MyHTTPConnection::fail(int status, const QString &message)
{
    if (!m_failure)
        m_failure = Failure{status, message};
}

void MyHTTPConnection::partBegin(const MultipartParser::PartHeader &header)
{
    m_fieldName = header.name;
    m_fieldValue.clear();
    m_inFilePart = header.hasFilename;
    m_skippingPart = false;
    if (!m_inFilePart) {
        m_skippingPart = ++m_fieldCount > kMaxFields;
        return;
    }
    if (!header.filename.isEmpty() && !m_failure && int(m_uploads.size()) >= kMaxFiles)
        fail(413, QStringLiteral("At most %1 files can be sent at once.").arg(kMaxFiles));
    if (header.filename.isEmpty() || m_failure) {
        m_skippingPart = true; // an empty file input, or the upload has already failed
        return;
    }
    // Beside the target when the folder is already known, else in Documents itself;
    // either way on the same file system, so the final rename is atomic. A linked folder
    // may lead out of Documents: the upload is refused there, and nothing is written behind it.
    const QString root = documentsRoot(server());
    QString directory = root;
    if (m_fields.contains("folder")) {
        QString refusal;
        const QString folder = folderPath(QString::fromUtf8(m_fields.value("folder")), &refusal);
        const QFileInfo folderInfo(root + QLatin1Char('/') + folder);
        if (!folder.isEmpty() && folderInfo.isDir() && !folderInfo.isSymLink())
            directory = folderInfo.filePath();
    }
    Upload upload;
    upload.clientName = QString::fromUtf8(header.filename);
    upload.file = std::make_unique<QTemporaryFile>(directory + QStringLiteral("/.orbo-upload-XXXXXX"));
    if (!upload.file->open()) {
        fail(500, QStringLiteral("The server cannot write into the folder: %1").arg(upload.file->errorString()));
        m_skippingPart = true;
        return;
    }
    m_uploads.push_back(std::move(upload));
}

void MyHTTPConnection::partData(QByteArrayView data)
{
    if (m_skippingPart)
        return;
    if (!m_inFilePart) {
        if (m_fieldValue.size() + data.size() > kMaxFieldValue)
            m_skippingPart = true;
        else
            m_fieldValue.append(data);
        return;
    }
    QTemporaryFile &file = *m_uploads.back().file;
    if (file.write(data.constData(), data.size()) != data.size()) {
        const bool full = file.error() == QFileDevice::ResourceError;
        fail(full ? 507 : 500, QStringLiteral("The file could not be stored: %1").arg(file.errorString()));
        m_uploads.pop_back(); // removes the temporary file
        m_skippingPart = true;
    }
}

void MyHTTPConnection::partEnd()
{
    if (m_skippingPart)
        return;
    if (m_inFilePart) {
        Upload &upload = m_uploads.back();
        if (!upload.file->flush()) {
            fail(507, QStringLiteral("The file could not be stored: %1").arg(upload.file->errorString()));
            m_uploads.pop_back();
            return;
        }
        upload.complete = true;
    } else if (!m_fields.contains(m_fieldName)) {
        m_fields.insert(m_fieldName, m_fieldValue);
    }
}

std::optional<MyHTTPConnection::Failure> MyHTTPConnection::finishUpload()
{
    std::unique_ptr<MultipartParser> parser = std::move(m_parser);
    std::vector<Upload> uploads = std::move(m_uploads);
    m_uploads.clear();
    requestContentLength = 0;
    if (!parser || !parser->isComplete())
        return Failure{400, QStringLiteral("The upload is not a complete multipart/form-data body.")};
    if (m_failure)
        return m_failure;
    if (uploads.empty())
        return Failure{400, QStringLiteral("The upload carries no file.")};

    QString refusal;
    m_uploadFolderName =
        m_fields.contains("folder") ? QString::fromUtf8(m_fields.value("folder")) : QStringLiteral("/");
    const QString folder = folderPath(m_uploadFolderName, &refusal);
    if (!refusal.isEmpty())
        return Failure{400, refusal};
    const QString root = documentsRoot(server());
    const QString directory = folder.isEmpty() ? root : root + QLatin1Char('/') + folder;
    const QFileInfo directoryInfo(directory);
    if (!directoryInfo.isDir() || directoryInfo.isSymLink())
        return Failure{404, QStringLiteral("The folder \"%1\" does not exist.").arg(folder)};

    // The page's uploader also names the file in its own "Filename" field.
    const QString fieldName = QString::fromUtf8(m_fields.value("Filename"));
    QStringList names;
    for (const Upload &upload : uploads) {
        const QString name = safeComponent(uploads.size() == 1 && !fieldName.isEmpty() ? fieldName : upload.clientName);
        if (name.isEmpty())
            return Failure{400, QStringLiteral("The file name \"%1\" is not allowed.").arg(upload.clientName)};
        // Every check comes before the first file is stored: a refused upload stores nothing.
        if (QFileInfo(directory + QLatin1Char('/') + name).isDir())
            return Failure{409, QStringLiteral("\"%1\" is a folder.").arg(name)};
        names.append(name);
    }
    // Every file reaches the disk before the first one takes its name, so a full disk or an
    // I/O error refuses the whole upload rather than half of it. Temporary files are private;
    // the stored song gets the usual permissions.
    for (const Upload &upload : uploads) {
        QTemporaryFile &file = *upload.file;
        ::fchmod(file.handle(), 0666 & ~FileManager::processUmask());
        if (::fsync(file.handle()) != 0)
            return Failure{
                507, QStringLiteral("The file could not be stored: %1").arg(QString::fromLocal8Bit(strerror(errno)))};
        file.close();
    }
    QStringList stored;
    for (size_t i = 0; i < uploads.size(); ++i) {
        QTemporaryFile &file = *uploads[i].file;
        const QString target = directory + QLatin1Char('/') + names[qsizetype(i)];
        // Replaces an existing file of that name in one step, only now that the new one is whole.
        if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
            const QString reason = QString::fromLocal8Bit(strerror(errno));
            FileManager::flushFolder(directory);
            announceStored(stored);
            return Failure{500,
                           stored.isEmpty() ? QStringLiteral("The file could not be stored: %1").arg(reason)
                                            : QStringLiteral("\"%1\" could not be stored (%2); stored: %3.")
                                                  .arg(names[qsizetype(i)], reason, stored.join(QStringLiteral(", ")))};
        }
        file.setAutoRemove(false);
        stored.append(names[qsizetype(i)]);
    }
    // The new names themselves reach the disk too, before anyone hears of them.
    FileManager::flushFolder(directory);
    announceStored(stored);
    return std::nullopt;
}

void MyHTTPConnection::announceStored(const QStringList &names)
{
    for (const QString &name : names) {
        m_uploadFileName = name;
        NotificationCenter::defaultCenter().postNotificationName(QStringLiteral("WebServerMessageNotify"),
                                                                 QStringLiteral("[%1] upload Success\n").arg(name));
    }
}

// ---- routing ----

std::unique_ptr<HTTPResponse> MyHTTPConnection::pageResponse(const QString &html, int status)
{
    return std::make_unique<HTTPDataResponse>(html.toUtf8(), status);
}

std::unique_ptr<HTTPResponse> MyHTTPConnection::httpResponseForMethod(const QByteArray &method, const QByteArray &uri)
{
    // A POST without a body stored nothing, and must not look like a stored upload.
    if (requestContentLength != 0 || method == "POST") {
        const std::optional<Failure> failure = requestContentLength != 0
            ? finishUpload()
            : std::optional<Failure>(Failure{400, QStringLiteral("The upload carries no file.")});
        if (failure) {
            return pageResponse(QStringLiteral(
                                    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                    "charset=utf-8\" /><title>Upload failed</title></head><body>%1</body></html>")
                                    .arg(htmlEscaped(failure->message)),
                                failure->status);
        }
    }
    m_parser.reset();
    m_uploads.clear();

    if (uri.startsWith("/___Uploader"))
        return assetResponse(uri);
    const QString file = filePathForURI(uri);
    if (!file.isEmpty() && QFileInfo(file).isFile())
        return std::make_unique<HTTPFileResponse>(file);
    if (uri == "/success")
        return pageResponse(createBrowseableSuccess());
    if (uri.startsWith("/___makeFolder"))
        return makeFolderResponse(uri);
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

std::unique_ptr<HTTPResponse> MyHTTPConnection::makeFolderResponse(const QByteArray &uri)
{
    const QString requested = QUrl::fromPercentEncoding(uri.mid(14));
    const QString name = safeComponent(requested);
    if (name.isEmpty() || name != requested.trimmed() || requested.contains(QLatin1Char('/'))
        || name == QLatin1String("Documents"))
        return pageResponse(QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                           "charset=utf-8\" /></head><body>The folder name \"%1\" is not allowed. "
                                           "<a href='/'>Back</a></body></html>")
                                .arg(htmlEscaped(requested)),
                            400);
    const QString path = documentsRoot(server()) + QLatin1Char('/') + name;
    QString message;
    if (!QFileInfo::exists(path)) {
        if (!ZivoModel::createDir(path))
            return pageResponse(QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                               "charset=utf-8\" /></head><body>The folder \"%1\" could not be "
                                               "created. <a href='/'>Back</a></body></html>")
                                    .arg(htmlEscaped(name)),
                                500);
        message = QStringLiteral("폴더를 생성하였습니다.");
    } else {
        message = QStringLiteral("폴더가 이미 존재 합니다.");
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
    const QString documents = ZivoModel::getPathWithFolderName(QStringLiteral("Documents"));
    for (const QString &folder : ZivoModel::listDirOnlyDir(documents)) {
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
    // Looked up on every asset request: resolve it once per setting of the variable.
    static QString cachedFor;
    static QString cached;
    const QString fromEnvironment = qEnvironmentVariable("ORBO_RESOURCES_DIR");
    if (!cached.isEmpty() && fromEnvironment == cachedFor)
        return cached;
    cachedFor = fromEnvironment;
    cached = findUploaderResourcePath(fromEnvironment);
    return cached;
}

QString MyHTTPConnection::findUploaderResourcePath(const QString &fromEnvironment)
{
    QStringList candidates;
    if (!fromEnvironment.isEmpty())
        candidates << fromEnvironment;
    // Installed: <prefix>/bin/orbo and <prefix>/share/orbo/___Uploader.
    candidates << QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orbo");
#ifdef ORBO_SOURCE_RESOURCES_DIR
    // Run from the build tree (and in the tests): the sources' own resources.
    candidates << QStringLiteral(ORBO_SOURCE_RESOURCES_DIR);
#endif
    for (const QString &candidate : std::as_const(candidates)) {
        const QString path = QDir::cleanPath(candidate + QStringLiteral("/___Uploader"));
        if (QFileInfo(path).isDir())
            return QFileInfo(path).canonicalFilePath();
    }
    return {};
}
