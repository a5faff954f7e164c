// ESLint's recommended rules over the page's, the site's, the tests' and the
// benches' JavaScript, run by scripts/analyse from the top of the tree.
"use strict";
const js = require("@eslint/js");
const globals = require("globals");

module.exports = [
  { ignores: ["**/node_modules/", "build/"] },
  js.configs.recommended,
  {
    // The page's scripts are Emscripten's --pre-js parts of one script:
    // each defines one global (marked `exported` where it stands) that the
    // module calls; page.js also calls picture.js's, and both read the
    // module's memory, and picture.js calls its exports.
    files: ["web/*.js"],
    languageOptions: { sourceType: "script", globals: globals.browser },
  },
  {
    files: ["web/picture.js"],
    languageOptions: {
      globals: Object.fromEntries(["HEAPU8", "HEAPF64", "_picture_header_capacity", "_picture_header_buffer",
        "_picture_header", "_picture_too_large", "_picture_frame", "_picture_moved_cut", "_picture_cut",
        "_picture_margins", "_picture_scaled", "_picture_target", "_picture_fits", "_picture_source",
        "_picture_made", "_picture_free"].map((name) => [name, "readonly"])),
    },
  },
  {
    files: ["web/page.js"],
    languageOptions: { globals: { kadrimo_picture: "readonly", HEAPU8: "readonly" } },
  },
  {
    files: ["web/site/sw.js"],
    languageOptions: { sourceType: "script", globals: globals.serviceworker },
  },
  {
    // The scenarios run in node; what they hand to page.evaluate runs in the page.
    files: ["tests/web/*.js", "bench/**/*.js"],
    languageOptions: { sourceType: "commonjs", globals: { ...globals.node, ...globals.browser } },
  },
];
