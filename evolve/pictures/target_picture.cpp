#include "evolve/pictures/target_picture.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace {

// libpng prints its errors straight to standard error before Qt sees them. The tool reports a broken
// picture in a line of its own, so while a picture is decoded standard error goes nowhere.
class QuietStandardError {
public:
    QuietStandardError() : saved(dup(STDERR_FILENO)) {
        const int nowhere = open("/dev/null", O_WRONLY);
        if (saved >= 0 && nowhere >= 0) dup2(nowhere, STDERR_FILENO);
        if (nowhere >= 0) close(nowhere);
    }
    ~QuietStandardError() {
        if (saved < 0) return;
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved;
};

// What the decoders say while a picture is read. Qt's JPEG decoder turns libjpeg's complaints about a
// file cut short or corrupt into warnings and still returns a picture, grey where data was missing; a
// warning is therefore the only sign of a damaged file.
class DecoderComplaints {
public:
    DecoderComplaints() : previous(qInstallMessageHandler(Collect)) { First().clear(); }
    ~DecoderComplaints() { qInstallMessageHandler(previous); }
    DecoderComplaints(const DecoderComplaints&) = delete;
    DecoderComplaints& operator=(const DecoderComplaints&) = delete;

    // The first warning given, or empty.
    static QString& First() {
        static QString message;
        return message;
    }

private:
    static void Collect(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg && First().isEmpty()) First() = message;
    }

    QtMessageHandler previous;
};

}  // namespace

TargetPicture ReadTargetPicture(const QString& path) {
    TargetPicture result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = QStringLiteral("target picture %1 does not exist").arg(path);
        return result;
    }
    if (info.isDir()) {
        result.error = QStringLiteral("target picture %1 is a folder, not a file").arg(path);
        return result;
    }
    if (!info.isFile() || !info.isReadable()) {
        result.error = QStringLiteral("cannot read target picture %1").arg(path);
        return result;
    }
    const QuietStandardError quiet;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg") {
        result.error = QStringLiteral("target %1 is not a PNG or JPEG picture").arg(path);
        return result;
    }
    // The header's size is checked before decoding, so a huge picture is refused without being read.
    const QSize declared = reader.size();
    if (declared.isValid() && static_cast<qint64>(declared.width()) * declared.height() > kMaxTargetPixels) {
        result.error = QStringLiteral("target picture %1 has %2 x %3 pixels, more than %4 megapixels")
                           .arg(path)
                           .arg(declared.width())
                           .arg(declared.height())
                           .arg(kMaxTargetPixels / 1'000'000);
        return result;
    }
    if (declared.isValid() && declared.isEmpty()) {
        result.error = QStringLiteral("target picture %1 has no pixels").arg(path);
        return result;
    }
    // 64 megapixels at 4 bytes each is just over Qt's default limit of 256 MiB for one picture.
    QImageReader::setAllocationLimit(512);
    QImage picture;
    QString complaint;
    {
        const DecoderComplaints complaints;
        picture = reader.read();
        complaint = DecoderComplaints::First();
    }
    if (picture.isNull()) {
        result.error = QStringLiteral("cannot read target picture %1: %2").arg(path, reader.errorString());
        return result;
    }
    // A partial picture is refused rather than trained towards: the run would chase the decoder's
    // filling, and nobody would learn why its result looks wrong.
    if (!complaint.isEmpty()) {
        result.error = QStringLiteral("target picture %1 is damaged: %2").arg(path, complaint);
        return result;
    }
    if (static_cast<qint64>(picture.width()) * picture.height() > kMaxTargetPixels) {
        result.error =
            QStringLiteral("target picture %1 has more than %2 megapixels").arg(path).arg(kMaxTargetPixels / 1'000'000);
        return result;
    }
    result.picture = std::move(picture);
    return result;
}

QImage FitToPanel(const QImage& picture, int width, int height) {
    QImage panel(width, height, QImage::Format_RGB32);
    panel.fill(Qt::black);
    if (!picture.isNull() && width > 0 && height > 0) {
        const QImage scaled = picture.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&panel);
        // Integer halves, so a bar one pixel wider than the other goes to the right or the bottom.
        painter.drawImage((width - scaled.width()) / 2, (height - scaled.height()) / 2, scaled);
    }
    return panel.convertToFormat(QImage::Format_RGB888);
}
