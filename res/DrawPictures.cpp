// Draws the program's pictures: the splash, the toolbar strip and the icons. Run once and the
// PNG files it writes are kept beside it; run it again after changing a drawing.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kYellow(255, 255, 0);
const QColor kOlive(128, 128, 0);

QImage Blank(int w, int h, const QColor& fill = Qt::transparent) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

// A motor seen from its shaft end: housing, stator teeth and a rotor.
void DrawMotor(QPainter& p, QPointF centre, double radius) {
    p.setPen(QPen(QColor(30, 40, 60), radius * 0.04));
    QRadialGradient housing(centre, radius);
    housing.setColorAt(0, QColor(210, 215, 225));
    housing.setColorAt(1, QColor(110, 120, 140));
    p.setBrush(housing);
    p.drawEllipse(centre, radius, radius);
    p.setBrush(QColor(60, 70, 90));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(i * 45);
        p.drawRect(QRectF(-radius * 0.08, -radius * 0.78, radius * 0.16, radius * 0.3));
        p.restore();
    }
    p.setBrush(QColor(200, 120, 40));
    p.drawEllipse(centre, radius * 0.4, radius * 0.4);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(centre, radius * 0.1, radius * 0.1);
}

QImage Splash() {
    QImage image = Blank(708, 502);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 502);
    sky.setColorAt(0, QColor(12, 40, 90));
    sky.setColorAt(1, QColor(4, 12, 30));
    p.fillRect(image.rect(), sky);
    // A step pulse train across the bottom.
    p.setPen(QPen(QColor(80, 200, 255), 3));
    QPainterPath pulses(QPointF(0, 440));
    for (int x = 0; x < 708; x += 40) {
        pulses.lineTo(x + 10, 440);
        pulses.lineTo(x + 10, 410);
        pulses.lineTo(x + 30, 410);
        pulses.lineTo(x + 30, 440);
        pulses.lineTo(x + 40, 440);
    }
    p.drawPath(pulses);
    DrawMotor(p, QPointF(560, 200), 110);
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Sans"), 44, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(40, 90, 460, 80), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tarvex620B"));
    QFont sub(QStringLiteral("WenQuanYi Micro Hei"), 20);
    p.setFont(sub);
    p.setPen(QColor(200, 220, 255));
    p.drawText(QRect(44, 180, 460, 40), Qt::AlignLeft,
               QStringLiteral("QF620B 步进与伺服电机控制器"));
    p.drawText(QRect(44, 225, 460, 40), Qt::AlignLeft, QStringLiteral("编程与下载工具  2.0 版"));
    return image;
}

// Each 16 x 15 picture of the strip, drawn in the classic 16 colours.
void Page(QPainter& p, int x, int y) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(x, y), QPoint(x + 6, y), QPoint(x + 9, y + 3),
                            QPoint(x + 9, y + 12), QPoint(x, y + 12)}));
    p.drawLine(x + 6, y, x + 6, y + 3);
    p.drawLine(x + 6, y + 3, x + 9, y + 3);
}

// The second button, at x = 16: an opening folder.
void OpenFolder(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(kYellow);
    p.drawRect(16 + 1, 4, 10, 8);
    p.setBrush(kOlive);
    p.drawPolygon(
        QPolygon({QPoint(16 + 3, 7), QPoint(16 + 14, 7), QPoint(16 + 11, 12), QPoint(16 + 1, 12)}));
    p.setPen(kNavy);
    p.drawLine(16 + 9, 2, 16 + 12, 1);
    p.drawLine(16 + 12, 1, 16 + 14, 3);
}

// At x = 32: a diskette.
void Diskette(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(kNavy);
    p.drawRect(32 + 2, 1, 12, 12);
    p.setBrush(Qt::white);
    p.drawRect(32 + 4, 1, 8, 5);
    p.setBrush(kSilver);
    p.drawRect(32 + 5, 9, 6, 4);
}

// At x = 48: scissors.
void Scissors(QPainter& p) {
    p.setPen(kNavy);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(48 + 3, 9, 4, 4);
    p.drawEllipse(48 + 9, 9, 4, 4);
    p.setPen(Qt::black);
    p.drawLine(48 + 6, 9, 48 + 10, 1);
    p.drawLine(48 + 10, 9, 48 + 6, 1);
}

// At x = 80: a clipboard with a page.
void Clipboard(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(kOlive);
    p.drawRect(80 + 1, 2, 10, 12);
    p.setBrush(kGrey);
    p.drawRect(80 + 4, 1, 4, 2);
    Page(p, 80 + 6, 2);
}

// At x = 96: a printer.
void Printer(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(96 + 4, 1, 8, 5);
    p.setBrush(kSilver);
    p.drawRect(96 + 1, 6, 14, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawRect(96 + 12, 8, 2, 1);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(96 + 4, 10, 8, 4);
}

// At x = 112: a question mark, with a white rim that keeps it apart from a dark toolbar.
void QuestionMark(QPainter& p) {
    p.setPen(Qt::NoPen);
    const QRect mark[] = {{112 + 5, 2, 6, 2}, {112 + 10, 3, 2, 4}, {112 + 7, 6, 4, 2},
                          {112 + 7, 8, 2, 2}, {112 + 7, 11, 2, 2}, {112 + 4, 3, 2, 2}};
    p.setBrush(Qt::white);
    for (const QRect& r : mark)
        p.drawRect(r.adjusted(-1, -1, 1, 1));
    p.setBrush(kNavy);
    for (const QRect& r : mark)
        p.drawRect(r);
}

// Transparent around the pictures, so that they sit on light and dark toolbars alike. Each
// picture is 16 pixels wide.
QImage ToolbarStrip() {
    QImage image = Blank(128, 15);
    QPainter p(&image);
    Page(p, 3, 1);
    OpenFolder(p);
    Diskette(p);
    Scissors(p);
    // Two pages
    Page(p, 64 + 1, 0);
    Page(p, 64 + 5, 2);
    Clipboard(p);
    Printer(p);
    QuestionMark(p);
    return image;
}

// The icons are drawn on a 32 x 32 grid and scaled to `size`.
QImage AppIcon(const QColor& rim, int size = 32) {
    QImage image = Blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    DrawMotor(p, QPointF(16, 16), 14);
    p.setPen(QPen(rim, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 15, 15);
    return image;
}

QImage DocumentIcon(int size = 32) {
    QImage image = Blank(size, size);
    QPainter p(&image);
    if (size != 32) {
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygon({QPoint(5, 1), QPoint(20, 1), QPoint(27, 8), QPoint(27, 30), QPoint(5, 30)}));
    p.drawLine(20, 1, 20, 8);
    p.drawLine(20, 8, 27, 8);
    p.setPen(kTeal);
    for (int y = 12; y < 28; y += 3)
        p.drawLine(9, y, 9 + (y * 7) % 13 + 6, y);
    return image;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    bool ok = Splash().convertToFormat(QImage::Format_RGB888).save(dir + "/splash.png");
    ok = ToolbarStrip().save(dir + "/toolbar.png") && ok;
    ok = AppIcon(QColor(0, 0, 128)).save(dir + "/tarvex.png") && ok;
    ok = AppIcon(QColor(200, 120, 40)).save(dir + "/about.png") && ok;
    ok = DocumentIcon().save(dir + "/document.png") && ok;
    // The installed icon theme entries, beside the hand-drawn scalable ones.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = dir + QStringLiteral("/linux/icons/%1x%1/").arg(size);
        ok = QDir().mkpath(folder + "apps") && QDir().mkpath(folder + "mimetypes") && ok;
        ok = AppIcon(kNavy, size).save(folder + "apps/tarvex620b.png") && ok;
        ok = DocumentIcon(size).save(folder + "mimetypes/application-x-tarvex-document.png") && ok;
    }
    return ok ? 0 : 1;
}
