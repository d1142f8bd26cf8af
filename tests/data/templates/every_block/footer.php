<footer><!--##=not processed##--></footer>
