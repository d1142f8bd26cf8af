<?php // report rpt_orders from orders

// order_id
// customer_id
// placed
