// Builds the PDF manual from the help pages: make_manual OUT.pdf VERSION PAGE...
// The pages go in the order given, each from a new page, behind a title page
// with their contents. Links between the pages become their plain text, as a
// printed manual has no use for them.
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>

#include <cstdio>

namespace {

QString Between(const QString& text, const QString& open, const QString& close) {
    qsizetype start = text.indexOf(open);
    if (start < 0)
        return {};
    start = text.indexOf(u'>', start) + 1;
    qsizetype end = text.indexOf(close, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

// A page's body as a chapter of the manual.
QString Chapter(QString body, bool first) {
    // The paragraphs that only lead to other pages ("ヘルプの目次へ").
    static const QRegularExpression navigation(
        QStringLiteral("<p>(\\s*<a href=\"[^\"]*\">[^<]*</a>\\s*[／/]?\\s*)+</p>"));
    body.remove(navigation);
    // What the help says of the manual itself.
    static const QRegularExpression aboutManual(QStringLiteral("<p>[^<]*PDF解説書[^<]*</p>"));
    body.remove(aboutManual);
    static const QRegularExpression link(QStringLiteral("<a href=\"[^\"]*\">([^<]*)</a>"));
    body.replace(link, QStringLiteral("\\1"));
    // Every table ruled, with or without attributes of its own (an id).
    static const QRegularExpression table(QStringLiteral("<table(\\s[^>]*)?>"));
    body.replace(table,
                 QStringLiteral("<table\\1 border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"));
    if (!first)
        body.replace(QStringLiteral("<h1>"),
                     QStringLiteral("<h1 style=\"page-break-before: always\">"));
    return body;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_manual OUT.pdf VERSION PAGE...\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString version = QString::fromLocal8Bit(argv[2]);

    QString contents;
    QString chapters;
    for (int i = 3; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "make_manual: cannot read %s\n", argv[i]);
            return 1;
        }
        const QString page = QString::fromUtf8(file.readAll());
        const QString heading = Between(page, QStringLiteral("<h1"), QStringLiteral("</h1>"));
        contents += QStringLiteral("<li>") + heading + QStringLiteral("</li>");
        chapters +=
            Chapter(Between(page, QStringLiteral("<body"), QStringLiteral("</body>")), false);
    }
    const QString html =
        QStringLiteral(
            "<html><body><h1 style=\"font-size: 24pt\">Vekt／Quilmorn2008 解説書</h1>"
            "<p>バージョン ") +
        version +
        QStringLiteral(
            "</p><p>一本のボーリングの液状化判定プログラムの使い方を、新しいボーリングの"
            "入力から報告書の印刷まで説明します。</p><h2>目次</h2><ol>") +
        contents + QStringLiteral("</ol>") + chapters + QStringLiteral("</body></html>");

    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("IPAGothic"), 10));
    document.setHtml(html);

    QPdfWriter writer(out);
    writer.setTitle(QStringLiteral("Vekt／Quilmorn2008 解説書"));
    writer.setCreator(QStringLiteral("Vekt／Quilmorn2008"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    document.print(&writer);
    if (!QFileInfo(out).exists() || QFileInfo(out).size() == 0) {
        std::fprintf(stderr, "make_manual: %s was not written\n", argv[1]);
        return 1;
    }
    return 0;
}
