#include "gallery/IndexPage.h"

namespace loomara {

namespace {

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString link(const QString& href, const QString& text) {
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text);
}

QString card(const GalleryCard& c) {
    QString html =
        QStringLiteral("<figure id=\"card-%8\" data-name=\"%1\"><a href=\"%2\"><img src=\"%3\" "
                       "width=\"%4\" height=\"%5\" alt=\"%6\" loading=\"lazy\"></a>"
                       "<figcaption><b>%6</b><code>%7</code>")
            .arg(escaped(c.name.toLower()), galleryPath(GalleryFile::Cloth, c.stem),
                 galleryPath(GalleryFile::Thumbnail, c.stem),
                 QString::number(c.thumbnailSize.width()),
                 QString::number(c.thumbnailSize.height()), escaped(c.name), escaped(c.notation),
                 c.stem);
    QStringList links{link(galleryPath(GalleryFile::Cloth, c.stem), QStringLiteral("cloth"))};
    if (c.draft) {
        links.append(
            link(galleryPath(GalleryFile::Draft, c.stem), QStringLiteral("draft of a repeat")));
    }
    if (c.designer) {
        links.append(link(galleryPath(GalleryFile::Designer, c.stem), QStringLiteral("designer")));
    }
    html += QStringLiteral("<span>%1</span>").arg(links.join(QStringLiteral(" · ")));
    if (!c.veryLike.isEmpty()) {
        html += QStringLiteral("<small>very like: %1</small>")
                    .arg(link(QStringLiteral("#card-") + c.veryLikeStem, escaped(c.veryLike)));
    }
    if (!c.notInDesigner.isEmpty()) {
        html += QStringLiteral("<small>%1</small>").arg(escaped(c.notInDesigner));
    }
    return html + QStringLiteral("</figcaption></figure>\n");
}

QString notWovenLine(const GalleryCard& c) {
    return QStringLiteral("<li data-name=\"%1\"><b>%2</b> <code>%3</code> line %4: %5</li>\n")
        .arg(escaped(c.name.toLower()), escaped(c.name), escaped(c.notation),
             QString::number(c.line), escaped(c.notWoven));
}

// Hides the cards and the entries not woven whose name does not hold what is typed, whatever its
// case, and the pages and lists left empty; starts from ?q=.
constexpr auto kFilterScript = R"js(<script>
(function () {
  var box = document.getElementById("filter");
  var named = document.querySelectorAll("[data-name]");
  var groups = document.querySelectorAll("section, section ul");
  function show() {
    var wanted = box.value.trim().toLowerCase();
    named.forEach(function (e) { e.hidden = e.dataset.name.indexOf(wanted) < 0; });
    groups.forEach(function (g) {
      g.hidden = !g.querySelector("[data-name]:not([hidden])");
      var heading = g.previousElementSibling;
      if (heading && heading.tagName === "H3") {
        heading.hidden = g.hidden;
      }
    });
  }
  box.value = new URLSearchParams(location.search).get("q") || "";
  box.closest("p").hidden = false;
  box.addEventListener("input", show);
  show();
})();
</script>
)js";

} // namespace

QByteArray galleryIndexPage(const QStringList& pageTitles, const std::vector<GalleryCard>& cards) {
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Named setts</title>\n<style>\n"
        "body{font-family:sans-serif;margin:1em 2em;background:#fafafa;overflow-wrap:anywhere}\n"
        "[hidden]{display:none!important}\n"
        "nav a{margin-right:1em}\n"
        "label input{font-size:110%;margin-left:.5em;width:20em;max-width:60vw}\n"
        ".cards{display:flex;flex-wrap:wrap;gap:12px}\n"
        "figure{margin:0;width:168px;background:#fff;border:1px solid #ccc;padding:4px}\n"
        "figure img{display:block;max-width:100%;height:auto}\n"
        "figcaption b,figcaption code,figcaption span,figcaption small{display:block}\n"
        "figcaption code{font-size:85%;color:#444}\n"
        "figcaption small{color:#755}\n"
        "</style>\n</head>\n<body>\n<h1>Named setts</h1>\n"
        "<p hidden><label>Filter by name<input id=\"filter\" type=\"search\" "
        "autocomplete=\"off\"></label></p>\n<nav>");
    for (qsizetype page = 0; page < pageTitles.size(); ++page) {
        html += QStringLiteral("<a href=\"#page-%1\">%2</a>")
                    .arg(QString::number(page + 1), escaped(pageTitles[page]));
    }
    html += QStringLiteral("</nav>\n");
    for (qsizetype page = 0; page < pageTitles.size(); ++page) {
        html += QStringLiteral("<section id=\"page-%1\">\n<h2>%2</h2>\n<div class=\"cards\">\n")
                    .arg(QString::number(page + 1), escaped(pageTitles[page]));
        QString notWoven;
        for (const GalleryCard& c : cards) {
            if (c.page != page) {
                continue;
            }
            if (c.cloth) {
                html += card(c);
            } else {
                notWoven += notWovenLine(c);
            }
        }
        html += QStringLiteral("</div>\n");
        if (!notWoven.isEmpty()) {
            html +=
                QStringLiteral("<h3>Not woven</h3>\n<ul>\n") + notWoven + QStringLiteral("</ul>\n");
        }
        html += QStringLiteral("</section>\n");
    }
    html += QLatin1StringView(kFilterScript) + QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

} // namespace loomara
