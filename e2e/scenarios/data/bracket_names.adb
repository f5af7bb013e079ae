,Ann,Lee,,Acme,,,555-1000,office,555-1001,home
,Bob,Roe,,Beta,,,555-2000,desk
,,,,Gamma Ltd,,,555-3000,main
X,0.0
[X],1.0
