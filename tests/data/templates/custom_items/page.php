<!--##session string##-->string;<!--##/session##-->
<!--##session string_fail##-->string_fail;<!--##/session##-->
<!--##session long##-->long;<!--##/session##-->
<!--##session long_fail##-->long_fail;<!--##/session##-->
<!--##session boolean##-->boolean;<!--##/session##-->
<!--##session untyped##-->untyped;<!--##/session##-->
<!--##session three##-->three;<!--##/session##-->
