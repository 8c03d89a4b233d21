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
        // The bell computer keeps what it said for the page shown next.
        if (answer.status === 413) throw new Error(form.dataset.tooLarge);
        window.location.assign('/library');
      })
      .catch(function (error) {
        said.textContent = error.message === form.dataset.tooLarge ? error.message
                                                                   : form.dataset.failed;
        form.querySelector('button').disabled = false;
      });
  });
})();
)js";
    return script;
}

}  // namespace tolvane
