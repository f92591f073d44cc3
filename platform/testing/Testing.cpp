namespace vux::testing {}
