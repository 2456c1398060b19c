// SPDX-License-Identifier: MIT
// Holds the program's start back until the page's own fonts are loaded, so
// that every text is measured in the face it is drawn in.
var Module = {
  preRun: [function () {
    Module.addRunDependency('fonts');
    var faces = ['400 11px "Gradolux Sans"', '700 11px "Gradolux Sans"'];
    Promise.all(faces.map(function (face) { return document.fonts.load(face); }))
      .catch(function () {})
      .then(function () { Module.removeRunDependency('fonts'); });
  }],
};
