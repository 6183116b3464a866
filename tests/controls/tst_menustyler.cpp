// Styled menus: items measured and drawn into pictures (separator, selection bar, disabled
// items, icons, gradient, reduced colours), and menus added after the window was made.

#include "MenuStyler.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QTest>

namespace {

const QColor Silver(192, 192, 192);
const QColor SelectGrey(200, 200, 200);
const QColor Blue(0, 0, 255);
const QColor IconRed(200, 40, 40);

QIcon solidIcon(const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// An 8 x 8 red square in the middle of a transparent 16 x 16 icon.
QIcon squareIcon()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            image.setPixelColor(x, y, IconRed);
    return QIcon(QPixmap::fromImage(image));
}

QStyleOptionMenuItem menuItem(const QString &text, QStyle::State state, const QIcon &icon = QIcon(),
                              QStyleOptionMenuItem::MenuItemType type = QStyleOptionMenuItem::Normal)
{
    QStyleOptionMenuItem item;
    item.rect = QRect(0, 0, 200, 23);
    item.text = text;
    item.state = state;
    item.icon = icon;
    item.menuItemType = type;
    item.checkType = QStyleOptionMenuItem::NotCheckable;
    item.palette = QApplication::palette();
    item.direction = Qt::LeftToRight;
    return item;
}

QImage draw(const TMenuStyler &styler, const QStyleOptionMenuItem &item)
{
    QImage picture(item.rect.size(), QImage::Format_ARGB32);
    picture.fill(Qt::magenta);
    QPainter painter(&picture);
    styler.Style()->drawControl(QStyle::CE_MenuItem, &item, &painter, nullptr);
    return picture;
}

int count(const QImage &picture, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            n += picture.pixelColor(x, y) == colour;
    return n;
}

} // namespace

class TestMenuStyler : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void separatorMeasures4AndDrawsOnlyItsLine();
    void captionWithShortcutMeasuresByTheRule();
    void captionKeepsAMarginOnItsRight();
    void iconRaisesASmallItem();
    void disabledHotItemHasNoBarAndIsGrey();
    void hotItemHasFramedBarAndLiftedIcon();
    void restingItemFadesItsIconAndShowsItsCheck();
    void gradientLightensColumnByColumn();
    void fewColoursMeanPlainFillsAndFixedMarks();
    void menusAddedLaterAreStyled();
    void deactivatingGivesMenusTheirStyleBack();

private:
    QWidget *m_window = nullptr;
    TMenuStyler *m_styler = nullptr;
};

void TestMenuStyler::init()
{
    m_window = new QWidget;
    m_styler = new TMenuStyler(m_window);
    ConfigureWindowMenuStyler(*m_styler);
    m_styler->SetColorDepth(24);
    QFont font = m_styler->Font();
    font.setStyleStrategy(QFont::NoAntialias); // text pixels in their exact colour
    m_styler->SetFont(font);
}

void TestMenuStyler::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void TestMenuStyler::separatorMeasures4AndDrawsOnlyItsLine()
{
    auto *menu = new QMenu(m_window);
    menu->addAction(QStringLiteral("Above"));
    QAction *separator = menu->addSeparator();
    menu->addAction(QStringLiteral("Below"));
    QCoreApplication::processEvents();
    QCOMPARE(menu->actionGeometry(separator).height(), 4);

    m_styler->SetSeparatorColor(QColor(10, 20, 30));
    QStyleOptionMenuItem item = menuItem(QStringLiteral("Not shown"), QStyle::State_Enabled, QIcon(),
                                         QStyleOptionMenuItem::Separator);
    item.rect = QRect(0, 0, 200, 4);
    const QImage picture = draw(*m_styler, item);
    for (int x = 0; x < 200; ++x) {
        for (int y : {1, 3})
            QCOMPARE(picture.pixelColor(x, y), picture.pixelColor(x, 0));
        // The line runs from 7 pixels into the text area to the right edge.
        QCOMPARE(picture.pixelColor(x, 2), x >= 24 + 7 ? QColor(10, 20, 30) : picture.pixelColor(x, 0));
    }
}

void TestMenuStyler::captionWithShortcutMeasuresByTheRule()
{
    auto *menu = new QMenu(m_window);
    QAction *copy = menu->addAction(QStringLiteral("&Copy path"));
    copy->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    copy->setShortcutVisibleInContextMenu(true);
    QCoreApplication::processEvents();
    QCOMPARE(menu->style(), m_styler->Style());

    const QFontMetrics metrics(m_styler->Font());
    const QRect geometry = menu->actionGeometry(copy);
    const int textHeight = metrics.height();
    QCOMPARE(geometry.height(), textHeight + int(std::nearbyint(0.75 * textHeight)));
    // Caption, shortcut and "WWW" without the "&", the icon column and 10 pixels; the menu
    // measures the shortcut apart, so kerning across the joint may move it by one pixel.
    const int expected = metrics.horizontalAdvance(QStringLiteral("&Copy pathCtrl+CWWW")) -
                         metrics.horizontalAdvance(QLatin1Char('&')) + 24 + 10;
    QVERIFY2(qAbs(geometry.width() - expected) <= 1,
             qPrintable(QStringLiteral("%1 against %2").arg(geometry.width()).arg(expected)));
}

void TestMenuStyler::captionKeepsAMarginOnItsRight()
{
    const QString caption = QStringLiteral("Recalculate MD5 for selected files");
    const QStyleOptionMenuItem item = menuItem(caption, QStyle::State_Enabled, QIcon());
    const QSize size =
        m_styler->Style()->sizeFromContents(QStyle::CT_MenuItem, &item, QSize(10, 10), nullptr);
    // Drawn after a blank, 5 pixels into the text area, with as much kept free on its right.
    const QFontMetrics metrics(m_styler->Font());
    QCOMPARE(size.width(), 24 + 5 + metrics.horizontalAdvance(QLatin1Char(' ') + caption) + 5);
}

void TestMenuStyler::iconRaisesASmallItem()
{
    QFont tiny = m_styler->Font();
    tiny.setPixelSize(6);
    m_styler->SetFont(tiny);
    const QStyleOptionMenuItem item =
        menuItem(QStringLiteral("Small"), QStyle::State_Enabled, solidIcon(IconRed));
    const QSize size =
        m_styler->Style()->sizeFromContents(QStyle::CT_MenuItem, &item, QSize(10, 10), nullptr);
    QCOMPARE(size.height(), 16 + 4);
}

void TestMenuStyler::disabledHotItemHasNoBarAndIsGrey()
{
    const QImage picture =
        draw(*m_styler, menuItem(QStringLiteral("&Delete\tDel"), QStyle::State_Selected, solidIcon(IconRed)));
    QCOMPARE(count(picture, Blue), 0);
    QCOMPARE(picture.pixelColor(100, 1), QColor(252, 252, 252)); // the gradient, not the bar
    QCOMPARE(picture.pixelColor(12, 12), QColor(183, 183, 183)); // grey: (200 + 40 + 40) div 3 + 90
    QVERIFY(count(picture, QColor(209, 211, 184)) > 10);         // caption in DisabledColor
    QVERIFY(count(picture, QColor(169, 173, 144)) > 5);          // shortcut darkened by 40
    QCOMPARE(count(picture, Qt::black), 0);
}

void TestMenuStyler::hotItemHasFramedBarAndLiftedIcon()
{
    const QImage picture =
        draw(*m_styler,
             menuItem(QStringLiteral("&Open"), QStyle::State_Selected | QStyle::State_Enabled, squareIcon()));
    QCOMPARE(picture.pixelColor(0, 0), Silver); // the top row keeps the background
    QCOMPARE(picture.pixelColor(0, 1), Blue);   // frame
    QCOMPARE(picture.pixelColor(199, 22), Blue);
    QCOMPARE(picture.pixelColor(100, 3), SelectGrey);
    // The icon sits 4 pixels down, centred in the 24-pixel column: its square spans 8 .. 15,
    // lifted to 7 .. 14, with the shadow (the selection grey darkened by 50) at 9 .. 16.
    QCOMPARE(picture.pixelColor(7, 7), IconRed);
    QCOMPARE(picture.pixelColor(14, 14), IconRed);
    QCOMPARE(picture.pixelColor(16, 16), QColor(150, 152, 150));
    QCOMPARE(picture.pixelColor(6, 6), SelectGrey);
}

void TestMenuStyler::restingItemFadesItsIconAndShowsItsCheck()
{
    const QImage faded =
        draw(*m_styler, menuItem(QStringLiteral("Open"), QStyle::State_Enabled, solidIcon(IconRed)));
    QCOMPARE(faded.pixelColor(12, 12), QColor(216, 104, 104)); // LightenColor by 30

    QStyleOptionMenuItem checkedItem = menuItem(QStringLiteral("Sizes"), QStyle::State_Enabled);
    checkedItem.checkType = QStyleOptionMenuItem::NonExclusive;
    checkedItem.checked = true;
    const QImage checked = draw(*m_styler, checkedItem);
    // A 10 x 10 box centred in the icon column: frame in CheckedColor, inside the checked
    // area (the selection grey lightened by 75) and a black tick.
    QCOMPARE(checked.pixelColor(7, 6), QApplication::palette().color(QPalette::Highlight));
    QCOMPARE(checked.pixelColor(8, 7), QColor(241, 241, 241));
    QVERIFY(count(checked.copy(7, 6, 10, 10), Qt::black) > 5);
}

void TestMenuStyler::gradientLightensColumnByColumn()
{
    const QImage picture = draw(*m_styler, menuItem(QString(), QStyle::State_Enabled));
    // LightenColor(silver, k): k grows by 3 per column through the first 29, then by 1, up to 96.
    const std::pair<int, int> columns[] = {{0, 192},  {1, 194},  {10, 211}, {28, 245}, {29, 247},
                                           {30, 247}, {31, 248}, {38, 252}, {150, 252}};
    for (const auto &[x, level] : columns)
        QCOMPARE(picture.pixelColor(x, 0), QColor(level, level, level));
}

void TestMenuStyler::fewColoursMeanPlainFillsAndFixedMarks()
{
    m_styler->SetColorDepth(15);
    const QImage picture =
        draw(*m_styler, menuItem(QStringLiteral("Open"), QStyle::State_Enabled, solidIcon(IconRed)));
    QCOMPARE(picture.pixelColor(1, 0), Silver);                 // icon column
    QCOMPARE(picture.pixelColor(30, 0), QColor(214, 214, 214)); // Color
    QCOMPARE(picture.pixelColor(150, 0), QColor(214, 214, 214));
    QCOMPARE(picture.pixelColor(12, 12), IconRed); // not faded
    const TMenuColors colors = m_styler->Colors(QApplication::palette());
    QCOMPARE(colors.CheckedArea, QColor(Qt::white));
    QCOMPARE(colors.CheckedAreaSelected, Silver);
    QCOMPARE(colors.MenuBorder, QApplication::palette().color(QPalette::Dark));

    m_styler->SetColorDepth(16);
    QCOMPARE(m_styler->Colors(QApplication::palette()).CheckedArea, QColor(241, 241, 241));
}

void TestMenuStyler::menusAddedLaterAreStyled()
{
    auto *early = new QMenu(m_window);
    early->addAction(QStringLiteral("Early"));
    QCoreApplication::processEvents();
    QCOMPARE(early->style(), m_styler->Style());

    auto *later = new QMenu(m_window);
    QAction *item = later->addAction(QStringLiteral("Later"));
    QMenu *submenu = early->addMenu(QStringLiteral("Sub"));
    QCOMPARE(submenu->style(), m_styler->Style()); // through the styled menu at once
    QCoreApplication::processEvents();
    QCOMPARE(later->style(), m_styler->Style());

    later->resize(later->sizeHint());
    const QRect rect = later->actionGeometry(item);
    const QImage picture = later->grab().toImage();
    QCOMPARE(picture.pixelColor(rect.left(), rect.top()), Silver); // the gradient starts the item
    QCOMPARE(picture.pixelColor(rect.left() + 20, rect.top()), QColor(230, 230, 230)); // k = 60
}

void TestMenuStyler::deactivatingGivesMenusTheirStyleBack()
{
    std::unique_ptr<QStyle> own(QStyleFactory::create(QStringLiteral("Fusion")));
    m_styler->SetActive(false);
    auto *plain = new QMenu(m_window);
    auto *ownStyled = new QMenu(m_window);
    ownStyled->setStyle(own.get());

    m_styler->SetActive(true);
    QCOMPARE(plain->style(), m_styler->Style());
    QCOMPARE(ownStyled->style(), own.get()); // a menu with a style of its own keeps it
    m_styler->SetActive(false);
    QCOMPARE(plain->style(), QApplication::style());

    m_styler->SetOverrideOwnerDraw(true);
    m_styler->SetActive(true);
    QCOMPARE(ownStyled->style(), m_styler->Style());
    m_styler->SetActive(false);
    QCOMPARE(ownStyled->style(), own.get());
    delete ownStyled; // before the style it uses
}

QTEST_MAIN(TestMenuStyler)
#include "tst_menustyler.moc"
