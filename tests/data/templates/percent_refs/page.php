<!--##session same_table##-->same_table;<!--##/session##-->
<!--##session blank_before##-->blank_before;<!--##/session##-->
<!--##session other_value##-->other_value;<!--##/session##-->
<!--##session number##-->number;<!--##/session##-->
<!--##session number_fail##-->number_fail;<!--##/session##-->
<!--##session field##-->field;<!--##/session##-->
<!--##session field_fail##-->field_fail;<!--##/session##-->
