// SPDX-License-Identifier: MIT
// Loads the page's own fonts at once, while the program itself still loads,
// and holds the program's start back until they are there, so that every
// text is measured in the face it is drawn in.
var gradoluxFonts = Promise.all(['400 11px "Gradolux Sans"', '700 11px "Gradolux Sans"'].map(function (face) {
  return document.fonts.load(face);
})).catch(function () {});
var Module = {
  preRun: [function () {
    Module.addRunDependency('fonts');
    gradoluxFonts.then(function () { Module.removeRunDependency('fonts'); });
  }],
};
