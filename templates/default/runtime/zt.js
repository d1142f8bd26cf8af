// Small browser helpers; the pages work without them.
document.addEventListener('DOMContentLoaded', function () {
  document.querySelectorAll('.zt-select-all').forEach(function (all) {
    all.addEventListener('change', function () {
      all.form.querySelectorAll('input[name="keys[]"]').forEach(function (box) { box.checked = all.checked; });
    });
  });
  document.querySelectorAll('form[action$="_delete.php"] button[type="submit"]').forEach(function (b) {
    b.form.addEventListener('submit', function (e) {
      if (b.form.querySelector('input[name="confirm"]')) return;
      if (!b.form.querySelector('input[name="keys[]"]:checked')) e.preventDefault();
    });
  });
});
