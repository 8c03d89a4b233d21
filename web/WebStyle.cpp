// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebStyle.h"

namespace tolvane {

const std::string& webStyleSheet() {
    // Readable on a 360 px phone and a desk screen alike; the fonts are the reader's own.
    static const std::string css = R"css(
* { box-sizing: border-box; }
html { font-family: "Noto Sans CJK SC", "WenQuanYi Zen Hei", "Microsoft YaHei", sans-serif;
       font-size: 16px; color: #1a1a1a; background: #f4f6f8; }
body { margin: 0; }
nav { display: flex; flex-wrap: wrap; gap: 4px 16px; align-items: center; padding: 10px 12px;
      background: #1f4e79; }
nav a, nav .link { color: #fff; font-size: 1rem; }
nav form { margin-left: auto; }
main { max-width: 860px; margin: 0 auto; padding: 8px 12px 32px; }
h1 { font-size: 1.4rem; margin: 12px 0; }
h2 { font-size: 1.15rem; margin: 20px 0 8px; }
a { color: #0b5394; }
.clock { font-size: 2.2rem; font-variant-numeric: tabular-nums; margin: 8px 0; }
.notice { margin: 8px 12px; padding: 10px 12px; border-radius: 6px; background: #e3f1e3;
          border: 1px solid #7ab87a; }
.notice.error, .problems li { background: #fdecea; border: 1px solid #d9534f; }
main .notice { margin: 8px 0; }
.problems { padding: 0; list-style: none; }
.problems li { padding: 8px 10px; margin: 4px 0; border-radius: 6px; }
table { width: 100%; border-collapse: collapse; background: #fff; }
th, td { text-align: left; padding: 8px 6px; border-bottom: 1px solid #d0d7de;
         vertical-align: top; }
td.music { overflow-wrap: anywhere; }
td.actions a { display: inline-block; margin: 0 8px 4px 0; }
form.row { display: flex; flex-wrap: wrap; gap: 8px; align-items: center; margin: 10px 0; }
form.row span { flex: 1 1 12em; }
form.bell { display: grid; gap: 12px; background: #fff; padding: 12px; border-radius: 6px;
            border: 1px solid #d0d7de; }
label { display: grid; gap: 4px; }
label.day { display: inline-flex; gap: 4px; align-items: center; margin: 4px 12px 4px 0; }
fieldset { border: 1px solid #d0d7de; border-radius: 6px; }
input, select, button { font: inherit; padding: 8px 10px; border-radius: 6px;
                        border: 1px solid #8c959f; min-height: 44px; }
input[type=checkbox] { min-height: 0; width: 22px; height: 22px; }
input[type=file] { width: 100%; min-width: 0; max-width: 100%; }
table.library td:first-child { width: 40%; word-break: keep-all; overflow-wrap: anywhere; }
table.library td:last-child { width: 60%; }
table.library audio { display: block; width: 100%; max-width: 360px; min-width: 0; }
button { background: #1f6feb; color: #fff; border-color: #1f4e79; cursor: pointer; }
button.attention { background: #c62828; border-color: #8e0000; }
button.link { background: none; border: none; color: #0b5394; text-decoration: underline;
              padding: 0; min-height: 0; }
nav button.link { color: #fff; }
:focus-visible { outline: 3px solid #f0a500; outline-offset: 2px; }
.log { font-family: monospace; font-size: 0.9rem; padding-left: 2.5em; word-break: break-all; }
@media (max-width: 520px) {
  table.bells thead { display: none; }
  table.bells tr { display: block; border-bottom: 1px solid #d0d7de; padding: 6px 0; }
  table.bells td { display: block; border: none; padding: 2px 6px; }
}
)css";
    return css;
}

}  // namespace tolvane
