#include "runner/html_page.h"

#include "runner/xml_text.h"

namespace checks::runner {
namespace {

constexpr const char* kStyle = R"(
body{font:14px/1.45 system-ui,sans-serif;margin:0 auto;max-width:72rem;padding:1rem 1.5rem;color:#1d1d1f;background:#fff}
h1{font-size:1.5rem;margin:.2rem 0} h2{font-size:1.15rem;margin:1.6rem 0 .4rem;border-bottom:1px solid #ddd}
.verdict{padding:.8rem 1rem;border-radius:6px;margin-bottom:1rem}
.verdict.fail{background:#fde8e8;border:1px solid #d33} .verdict.pass{background:#e6f4ea;border:1px solid #2a7}
table.facts{border-collapse:collapse} table.facts th{text-align:left;padding:.1rem 1rem .1rem 0;font-weight:600;vertical-align:top}
table.facts td{font-family:ui-monospace,monospace;word-break:break-all}
table.grid{border-collapse:collapse;font-variant-numeric:tabular-nums} table.grid th,table.grid td{padding:.15rem .6rem;border-bottom:1px solid #eee;text-align:right}
table.grid th:first-child,table.grid td:first-child{text-align:left}
details{border:1px solid #ddd;border-radius:4px;margin:.25rem 0;padding:.2rem .6rem}
details.fail{border-color:#d33} summary{cursor:pointer}
.badge{display:inline-block;min-width:3.2rem;font-weight:700;font-family:ui-monospace,monospace}
.PASS{color:#17803d} .FAIL{color:#c62828} .SKIP,.XFAIL{color:#a16207}
.time{color:#666;float:right} pre{white-space:pre-wrap;word-break:break-word;background:#f6f6f6;padding:.4rem;margin:.3rem 0}
.note{color:#7a5a00} code{font-family:ui-monospace,monospace;word-break:break-all}
figure{margin:1rem 0} figcaption{color:#555;font-size:.9rem}
)";

}  // namespace

std::string HtmlText(const std::string& text)
{
    return XmlText(text);
}

std::string HtmlPage(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           HtmlText(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n" + body + "</body>\n</html>\n";
}

std::string HtmlFigure(const std::string& title, const std::string& svg, const std::string& caption)
{
    return "<figure>\n<h3>" + HtmlText(title) + "</h3>\n" + svg + "\n<figcaption>" + HtmlText(caption) +
           "</figcaption>\n</figure>\n";
}

}  // namespace checks::runner
