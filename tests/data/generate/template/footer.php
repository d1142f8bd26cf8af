<!-- footer -->
</body></html>
