<!--##session a##-->never <!--##=1##--><!--##/session##-->
