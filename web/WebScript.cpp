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

}  // namespace tolvane
