#include "about.h"

#include "CodeCript.h"
#include "Pictures.h"
#include "Prompts.h"
#include "ScrambledTexts.h"
#include "WindowColours.h"
#include "WindowFrame.h"
#include "WindowMover.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int FormWidth = 365;
constexpr int FormHeight = 175;
constexpr int LogoSize = 80;
const QColor LinkTextColour(75, 75, 75);
const QColor TitleColour(0, 0, 128);
const QString Version = QStringLiteral("version 2.0 (build 020000)");

QFont pixelFont(const QString &family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

QString plain(const char *scrambled)
{
    return DecodeText(QString::fromLatin1(scrambled));
}

} // namespace

TAboutForm::TAboutForm(TShell &shell, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_shell(shell)
{
    setObjectName(QStringLiteral("AboutForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About..."));
    setFont(pixelFont(QStringLiteral("Tahoma"), 11));
    setFixedSize(FormWidth, FormHeight);
    const QString title = plain(ScrambledTexts::Title);

    BakPanel = new QFrame(this);
    BakPanel->setObjectName(QStringLiteral("BakPanel"));
    BakPanel->setGeometry(0, 0, FormWidth, FormHeight);
    PaintBackground(BakPanel, WindowColours::AboutBackground);

    IconImage = new QLabel(BakPanel);
    IconImage->setObjectName(QStringLiteral("IconImage"));
    IconImage->setGeometry(14, 15, 128, 128);
    // The picture keeps below the title's frame, which crosses the top of its place.
    IconImage->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    IconImage->setPixmap(ApplicationPicture(LogoSize));

    Bevel2 = new QFrame(BakPanel);
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    Bevel2->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel2->setGeometry(10, 8, 330, 53);
    // Only a frame: a press inside it reaches the background and moves the window.
    Bevel2->setAttribute(Qt::WA_TransparentForMouseEvents);

    CloseBt = new QPushButton(BakPanel);
    CloseBt->setObjectName(QStringLiteral("CloseBt"));
    CloseBt->setFlat(true);
    CloseBt->setIcon(QIcon(CommandPicture(TCommandPicture::Close)));
    CloseBt->setGeometry(340, 8, 20, 20);
    CloseBt->setCursor(Qt::PointingHandCursor);
    CloseBt->setToolTip(QStringLiteral("Close"));
    CloseBt->setAccessibleName(QStringLiteral("Close")); // it shows only a picture
    connect(CloseBt, &QPushButton::clicked, this, &TAboutForm::CloseBtClick);

    ProdNameLabel = new QLabel(title, BakPanel);
    ProdNameLabel->setObjectName(QStringLiteral("ProdNameLabel"));
    ProdNameLabel->setGeometry(127, 25, 180, 23);
    ProdNameLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont titleFont = pixelFont(QStringLiteral("Arial"), 19);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    ProdNameLabel->setFont(titleFont);
    QPalette titlePalette = ProdNameLabel->palette();
    titlePalette.setColor(QPalette::WindowText, TitleColour);
    ProdNameLabel->setPalette(titlePalette);

    InfoLabel = new QLabel(Version + QStringLiteral("\n\n") + plain(ScrambledTexts::AboutLine1) + u'\n' +
                               plain(ScrambledTexts::AboutLine2),
                           BakPanel);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setGeometry(140, 77, 200, 55);
    InfoLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    InfoLabel->setWordWrap(true);
    QPalette infoPalette = InfoLabel->palette();
    infoPalette.setColor(QPalette::WindowText, Qt::black);
    InfoLabel->setPalette(infoPalette);

    auto linkButton = [this](const QString &name, const QString &caption, const QString &hint, int x) {
        auto *button = new QPushButton(caption, BakPanel);
        button->setObjectName(name);
        button->setGeometry(x, 145, 100, 20);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(hint);
        button->setFont(pixelFont(QStringLiteral("Arial"), 10));
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, LinkTextColour);
        button->setPalette(palette);
        return button;
    };
    WebBt = linkButton(QStringLiteral("WebBt"), QStringLiteral("Web page"),
                       QStringLiteral("Visit our home page"), 22);
    DonateBt = linkButton(QStringLiteral("DonateBt"), QStringLiteral("Make a donation"),
                          QStringLiteral("Support ") + title + QStringLiteral(" today!"), 132);
    EmailBt = linkButton(QStringLiteral("EmailBt"), QStringLiteral("E-mail"),
                         QStringLiteral("Send us your comments or suggestions"), 242);
    connect(WebBt, &QPushButton::clicked, this, &TAboutForm::WebBtClick);
    connect(DonateBt, &QPushButton::clicked, this, &TAboutForm::DonateBtClick);
    connect(EmailBt, &QPushButton::clicked, this, &TAboutForm::EmailBtClick);

    // The window has no title band: its background, picture and labels move it.
    auto *mover = new TWindowMover(this);
    for (QWidget *handle : {static_cast<QWidget *>(BakPanel), static_cast<QWidget *>(IconImage),
                            static_cast<QWidget *>(ProdNameLabel), static_cast<QWidget *>(InfoLabel)})
        mover->Watch(handle);
    connect(mover, &TWindowMover::moveRequested, this, &TAboutForm::moveRequested);

    PlaceCentred(*this, size());
}

void TAboutForm::WebBtClick()
{
    openLink(ScrambledTexts::WebTarget);
}

void TAboutForm::DonateBtClick()
{
    openLink(ScrambledTexts::DonateTarget);
}

void TAboutForm::EmailBtClick()
{
    openLink(ScrambledTexts::MailTarget);
}

void TAboutForm::CloseBtClick()
{
    close();
}

void TAboutForm::openLink(const char *scrambledTarget)
{
    // The button's pressed look goes away before the shell takes its time.
    QCoreApplication::processEvents();
    m_shell.Open(plain(scrambledTarget));
}
