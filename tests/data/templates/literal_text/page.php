<a href="x">"" 'q'</a>
lone LFlone CR<!--##=1##-->
<!--##=2##-->

"