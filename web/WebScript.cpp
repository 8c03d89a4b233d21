// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebScript.h"

namespace tolvane {

const std::string& webUploadScript() {
    static const std::string script = R"js(
'use strict';
(function () {
  const form = document.getElementById('upload');
  if (!form) return;
  const said = document.getElementById('upload-said');
  form.addEventListener('submit', function (event) {
    event.preventDefault();
    const file = form.elements.file.files[0];
    if (!file) return;
    if (file.size > Number(form.dataset.limit)) {
      said.textContent = form.dataset.tooLarge;
      return;
    }
    said.textContent = form.dataset.sending;
    form.querySelector('button').disabled = true;
    const url = '/library/upload?name=' + encodeURIComponent(file.name) +
                '&token=' + encodeURIComponent(form.elements.token.value);
    fetch(url, {method: 'POST', headers: {'Content-Type': 'audio/mpeg'}, body: file,
                credentials: 'same-origin'})
      .then(function (answer) {
        if (answer.status === 413) throw new Error(form.dataset.tooLarge);
        // The page keeps what it said for the page shown next; what the server itself refused
        // (a full disk) is said here, in its words.
        if (answer.ok || answer.status === 422) return window.location.assign('/library');
        return answer.text().then(function (text) { throw new Error(text); });
      })
      .catch(function (error) {
        // A network error's own words are the browser's, in its language: ours instead.
        said.textContent = error instanceof TypeError ? form.dataset.failed : error.message;
        form.querySelector('button').disabled = false;
      });
  });
})();
)js";
    return script;
}

const std::string& webTodayScript() {
    static const std::string script = R"js(
'use strict';
(function () {
  const clock = document.getElementById('clock');
  if (!clock) return;
  // The school's civil time, as milliseconds of a UTC clock: read back with getUTC*.
  const skew = Number(clock.dataset.civil) - Date.now();
  const two = function (n) { return String(n).padStart(2, '0'); };
  const civilNow = function () { return Date.now() + skew; };
  const fill = function (template, a, b) {
    return template.replace('%1', String(a)).replace('%2', String(b));
  };
  const duration = function (next, seconds) {
    const d = Math.floor(seconds / 86400), h = Math.floor(seconds % 86400 / 3600),
          m = Math.floor(seconds % 3600 / 60), s = seconds % 60;
    if (d > 0) return fill(next.dataset.days, d, h);
    if (h > 0) return fill(next.dataset.hours, h, m);
    if (m > 0) return fill(next.dataset.minutes, m, s);
    return fill(next.dataset.seconds, s, '');
  };
  let fetching = false;
  const refresh = function () {
    const live = document.getElementById('live');
    if (!live || fetching || live.contains(document.activeElement)) return;
    fetching = true;
    fetch('/', {credentials: 'same-origin', cache: 'no-store'})
      .then(function (answer) { return answer.ok ? answer.text() : null; })
      .then(function (text) {
        if (!text) return;
        const fresh = new DOMParser().parseFromString(text, 'text/html').getElementById('live');
        if (fresh && !live.contains(document.activeElement)) live.replaceWith(fresh);
      })
      .catch(function () {})
      .finally(function () { fetching = false; });
  };
  let dueRefreshed = false;
  const tick = function () {
    const now = new Date(civilNow());
    clock.textContent = now.getUTCFullYear() + '-' + two(now.getUTCMonth() + 1) + '-' +
        two(now.getUTCDate()) + ' ' + two(now.getUTCHours()) + ':' + two(now.getUTCMinutes()) +
        ':' + two(now.getUTCSeconds());
    const next = document.getElementById('next');
    if (!next || !next.dataset.at) return;
    const left = Math.max(0, Math.ceil((Number(next.dataset.at) - civilNow()) / 1000));
    next.textContent = next.dataset.template.replace('%3', duration(next, left));
    if (left === 0 && !dueRefreshed) {
      dueRefreshed = true;
      setTimeout(refresh, 1500);  // the bell's state once it sounds
    } else if (left > 0) {
      dueRefreshed = false;
    }
  };
  tick();
  setTimeout(function () { tick(); setInterval(tick, 1000); }, 1000 - civilNow() % 1000);
  setInterval(refresh, 5000);
})();
)js";
    return script;
}

}  // namespace tolvane
