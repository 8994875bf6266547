// Runs inside the studio's tools module before it starts: a /dev/zero as Linux has, so that a
// content file linked to it is read as the native tools read it (without end, up to each bound).
Module['preRun'] = [].concat(Module['preRun'] || [], function() {
  FS.createDevice('/dev', 'zero', function() { return 0; }, function() {});
});
