--twopoint
--speed:1,0
--param: 12.5
--param:
--label: 揺れ
--information:info
--script:lua
--[[ comment
still ]]
--timecontrol
return 0
